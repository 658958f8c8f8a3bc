# Writes OUTPUT, a C++ source that defines each of NAMES (in namespace NAMESPACE) as a character
# array holding the text of the file at the same place in FILES. Run at build time (cmake -P), so
# an edited or re-vendored file is embedded again. The texts go into the inline scripts of a web
# page: one holding "</script" (which would end the script) or the raw string's end fails the build.
cmake_minimum_required(VERSION 3.22)
set(delimiter "tessara_embedded")
set(body "// Generated at build time by cli/EmbedText.cmake; edit the embedded files instead.\n\nnamespace ${NAMESPACE} {\n")
foreach(name file IN ZIP_LISTS NAMES FILES)
  file(READ "${file}" text)
  string(FIND "${text}" ")${delimiter}\"" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "${file} contains the raw string delimiter ${delimiter}")
  endif()
  string(TOLOWER "${text}" lower)
  string(FIND "${lower}" "</script" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "${file} contains \"</script\" and cannot be inlined into a page")
  endif()
  string(APPEND body "extern const char ${name}[];\nconst char ${name}[] = R\"${delimiter}(${text})${delimiter}\";\n")
endforeach()
string(APPEND body "} // namespace ${NAMESPACE}\n")
file(WRITE "${OUTPUT}.new" "${body}")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
