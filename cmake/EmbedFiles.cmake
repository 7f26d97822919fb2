# Turns files into a C++ source of byte arrays, at build time.
#
# Run as a script:
#   cmake -DMODE=linked -DOUTPUT=out.cc -DFOLDER=dir -DFILES="a.gif;b.bmp" -P EmbedFiles.cmake
#     the files become the program's linked pictures: a table of
#     pictures::LinkedPictureData under their file names and
#     tentaria::RegisterGuideLinkedPictures(), which adds them.
#   cmake -DMODE=bytes -DOUTPUT=out.cc -DFOLDER=dir -DFILES=data.txt
#         -DFUNCTION=tentaria::make_guide::OutlineData -P EmbedFiles.cmake
#     one file as std::span<const uint8_t> FUNCTION().
# Every file must exist and hold at least one byte.

function(embed_bytes path symbol out_var)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" length)
  if(length EQUAL 0)
    message(FATAL_ERROR "EmbedFiles: ${path} is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n    " hex "${hex}")
  set(${out_var} "const uint8_t ${symbol}[] = {\n    ${hex}\n};\n" PARENT_SCOPE)
endfunction()

if(NOT DEFINED OUTPUT OR NOT DEFINED FOLDER OR NOT DEFINED FILES OR NOT DEFINED MODE)
  message(FATAL_ERROR "EmbedFiles: MODE, OUTPUT, FOLDER and FILES are required")
endif()

set(text "// Made at build time by cmake/EmbedFiles.cmake from ${FILES}; not edited by hand.\n")
if(MODE STREQUAL "linked")
  string(APPEND text "#include \"tools/make-guide/linked/guide_linked_pictures.h\"\n\n")
  string(APPEND text "#include <cstdint>\n\nnamespace tentaria {\nnamespace {\n\n")
  set(entries "")
  set(index 0)
  foreach(name IN LISTS FILES)
    embed_bytes("${FOLDER}/${name}" "kPicture${index}" array)
    string(APPEND text "${array}\n")
    string(APPEND entries "    {\"${name}\", kPicture${index}, sizeof kPicture${index}},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  string(APPEND text "const pictures::LinkedPictureData kPictures[] = {\n${entries}};\n\n")
  string(APPEND text "}  // namespace\n\n")
  string(APPEND text "void RegisterGuideLinkedPictures(pictures::LinkedPictures& linked) {\n")
  string(APPEND text "  linked.Add(kPictures);\n}\n\n}  // namespace tentaria\n")
elseif(MODE STREQUAL "bytes")
  if(NOT DEFINED FUNCTION)
    message(FATAL_ERROR "EmbedFiles: MODE bytes needs FUNCTION")
  endif()
  string(REGEX MATCH "^(.*)::([A-Za-z0-9_]+)$" matched "${FUNCTION}")
  set(namespace "${CMAKE_MATCH_1}")
  set(function "${CMAKE_MATCH_2}")
  embed_bytes("${FOLDER}/${FILES}" "kBytes" array)
  string(APPEND text "#include <cstdint>\n#include <span>\n\nnamespace ${namespace} {\nnamespace {\n\n")
  string(APPEND text "${array}\n}  // namespace\n\n")
  string(APPEND text "std::span<const uint8_t> ${function}() { return kBytes; }\n\n")
  string(APPEND text "}  // namespace ${namespace}\n")
else()
  message(FATAL_ERROR "EmbedFiles: unknown MODE ${MODE}")
endif()

# Written only when changed, so that dependents are not rebuilt needlessly.
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${text}" @ONLY)
