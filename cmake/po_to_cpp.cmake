# cmake -DPO=zh_CN.po -DOUTPUT=catalogue.cpp -DNAME=zhCN -P po_to_cpp.cmake
cmake_minimum_required(VERSION 3.25)
# Writes a .po catalogue's translated entries as a C++ table (i18n/catalogues.h).
include(${CMAKE_CURRENT_LIST_DIR}/po_file.cmake)
po_read("${PO}" ids strs)
set(body "")
set(count 0)
foreach(id str IN ZIP_LISTS ids strs)
    string(SUBSTRING "${id}" 1 -1 id)
    string(SUBSTRING "${str}" 1 -1 str)
    if(str STREQUAL "")
        continue()
    endif()
    string(APPEND body "    {\"${id}\", \"${str}\"},\n")
    math(EXPR count "${count} + 1")
endforeach()
string(REPLACE "${PO_SEMICOLON}" ";" body "${body}")
string(CONCAT text "// Made by the build from ${PO}: do not edit.\n#include \"catalogues.h\"\n\n"
    "namespace i18n::catalogues {\n\nconst Entry ${NAME}[] = {\n${body}    {nullptr, nullptr},\n};\n"
    "const std::size_t ${NAME}Size = ${count};\n\n} // namespace i18n::catalogues\n")
file(WRITE "${OUTPUT}.new" "${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
