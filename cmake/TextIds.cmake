# Generates i18n/TextId.h: one named identifier per line of the English table (the names are
# kept in i18n/text-names.txt, in table order) and one per keyed program text of en.extra.
# Code reaches every interface text through these names, never by a bare line number.
function(brumeleaf_text_ids target names_file extra_file)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/generated/i18n/TextId.h)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${names_file} ${extra_file})
  file(STRINGS ${names_file} names)
  file(STRINGS ${extra_file} extras REGEX "^[A-Za-z0-9]+=")
  set(body "")
  set(index 0)
  foreach(name ${names})
    string(APPEND body "  ${name} = ${index},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  set(keys "")
  set(extra_index 1000)
  foreach(line ${extras})
    string(REGEX REPLACE "=.*" "" key "${line}")
    string(APPEND body "  ${key} = ${extra_index},\n")
    string(APPEND keys "    \"${key}\",\n")
    math(EXPR extra_index "${extra_index} + 1")
  endforeach()
  math(EXPR extra_count "${extra_index} - 1000")
  set(content "#pragma once
// Generated from i18n/text-names.txt and i18n/languages/en.extra; do not edit.
#include <array>
#include <string_view>
namespace brumeleaf {
// The interface texts by name: values below 1000 are lines of the language tables, values
// from 1000 on are the program texts kept by key in the .extra files.
enum class TextId : int {
${body}};
inline constexpr int kNamedTableLines = ${index};
inline constexpr int kFirstProgramText = 1000;
inline constexpr std::array<std::string_view, ${extra_count}> kProgramTextKeys{{
${keys}}};
}  // namespace brumeleaf
")
  file(WRITE ${out}.tmp "${content}")
  file(COPY_FILE ${out}.tmp ${out} ONLY_IF_DIFFERENT)
  target_sources(${target} PRIVATE ${out})
endfunction()
