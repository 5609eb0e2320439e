#pragma once

#include <exception>

namespace brumeleaf {

// Hands the error a background job ended with to `report` (on the window's thread, where the
// job's completion runs). Returns false when the job ended without one, so that the caller
// goes on to take its result.
template <class Report>
bool ReportWorkerFailure(const std::exception_ptr& failure, Report&& report) {
  if (!failure) return false;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    report(error);
  }
  return true;
}

}  // namespace brumeleaf
