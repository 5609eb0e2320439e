#include "imaging/RunContext.h"

namespace brumeleaf {

const Resources& RunContext::Res(bool) const {
  if (!resources_) throw ImageError("The picture resources were not loaded.");
  return *resources_;
}

}  // namespace brumeleaf
