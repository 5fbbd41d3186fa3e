# The terminal's key map and character-set map: TermMapGen turns the tables of this folder into
# the binary resources IPVT100KEYMAP and IPVT100CHARSET, which StringTableGen then compiles into
# the program's resources. Included from resources/CMakeLists.txt; sets terminal_resources.
add_executable(TermMapGen ${CMAKE_CURRENT_LIST_DIR}/TermMapGen.cpp)

set(terminal_resources "")
foreach(map IN ITEMS "keymap;IPVT100KEYMAP" "charset;IPVT100CHARSET")
  list(GET map 0 kind)
  list(GET map 1 name)
  set(out ${PROJECT_BINARY_DIR}/generated/resources/terminal/${name}.bin)
  add_custom_command(
    OUTPUT ${out}
    COMMAND TermMapGen ${kind} ${CMAKE_CURRENT_LIST_DIR}/${kind}.txt ${out}
    DEPENDS TermMapGen ${CMAKE_CURRENT_LIST_DIR}/${kind}.txt
    COMMENT "Generating the terminal resource ${name}"
    VERBATIM)
  list(APPEND terminal_resources ${out})
endforeach()
