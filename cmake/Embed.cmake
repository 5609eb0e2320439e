# Embeds every file of a folder into a target as a byte array, reachable at run time through
# EmbeddedFile(name) (resources/Embedded.h). Used for the language tables and other text data,
# so the programs run from any folder.
function(brumeleaf_embed_folder target folder)
  file(GLOB embed_files CONFIGURE_DEPENDS ${folder}/*)
  # The list travels as one "|"-separated argument; VERBATIM below quotes it, so the shell never
  # reads the separators as pipes once the folder holds more than one file.
  string(REPLACE ";" "|" embed_arg "${embed_files}")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/generated/embedded_${target}.cpp)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/generated/embed_${target}.cmake)
  file(WRITE ${script} "
set(content \"// Generated: embedded data files.\\n#include <cstddef>\\n#include <string_view>\\n#include <map>\\n#include <string>\\nnamespace brumeleaf {\\n\")
set(table \"\")
set(index 0)
string(REPLACE \"|\" \";\" FILES \"\${FILES}\")
foreach(f \${FILES})
  get_filename_component(name \${f} NAME)
  file(READ \${f} hex HEX)
  string(REGEX REPLACE \"([0-9a-f][0-9a-f])\" \"0x\\\\1,\" bytes \"\${hex}\")
  string(APPEND content \"static const unsigned char kData\${index}[] = {\${bytes} 0};\\n\")
  string(LENGTH \"\${hex}\" hexlen)
  math(EXPR len \"\${hexlen} / 2\")
  string(APPEND table \"  {\\\"\${name}\\\", std::string_view(reinterpret_cast<const char*>(kData\${index}), \${len})},\\n\")
  math(EXPR index \"\${index} + 1\")
endforeach()
string(APPEND content \"const std::map<std::string, std::string_view>& EmbeddedFiles() {\\n  static const std::map<std::string, std::string_view> files = {\\n\${table}  };\\n  return files;\\n}\\n}\\n\")
file(WRITE \${OUT}.tmp \"\${content}\")
file(COPY_FILE \${OUT}.tmp \${OUT} ONLY_IF_DIFFERENT)
")
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} "-DFILES=${embed_arg}" -DOUT=${out} -P ${script}
    DEPENDS ${embed_files} ${script}
    COMMENT "Embedding data files of ${folder}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
