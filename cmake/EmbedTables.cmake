# Embeds the delivered structure files and code tables (data/tables/*.tsv) into a
# target as a generated source of raw string literals, regenerated whenever a TSV
# changes. The generated source defines accise::embedded::tableSources(), which
# returns (file name, text) pairs.
#
# The same file is the generator: run with `cmake -P` it reads TSV_DIR and writes OUT.

# Pieces longer than this are split at a line end: compilers limit the size of one
# string literal (MSVC at about 16 KB per piece), and shorter pieces keep it sane.
if(NOT DEFINED ACCISE_EMBED_PIECE)
  set(ACCISE_EMBED_PIECE 12000)
endif()

if(CMAKE_SCRIPT_MODE_FILE)
  file(GLOB _tsv_files LIST_DIRECTORIES false RELATIVE "${TSV_DIR}" "${TSV_DIR}/*.tsv")
  list(SORT _tsv_files)
  set(_out "// Generated from data/tables/*.tsv by cmake/EmbedTables.cmake: do not edit.\n")
  string(APPEND _out "#include <string>\n#include <string_view>\n#include <utility>\n#include <vector>\n\n")
  string(APPEND _out "namespace accise::embedded {\n\n")
  string(APPEND _out "std::vector<std::pair<std::string, std::string>> tableSources();\n\n")
  string(APPEND _out "std::vector<std::pair<std::string, std::string>> tableSources() {\n")
  string(APPEND _out "    std::vector<std::pair<std::string, std::string>> files;\n")
  foreach(_name IN LISTS _tsv_files)
    file(READ "${TSV_DIR}/${_name}" _text)
    string(FIND "${_text}" ")TSV\"" _clash)
    if(NOT _clash EQUAL -1)
      message(FATAL_ERROR "${_name}: contains the literal delimiter )TSV\"")
    endif()
    string(APPEND _out "    files.emplace_back(\"${_name}\", std::string());\n")
    # Cut into pieces at line ends; a single line longer than a piece is kept whole.
    while(NOT _text STREQUAL "")
      string(LENGTH "${_text}" _len)
      if(_len GREATER ACCISE_EMBED_PIECE)
        string(SUBSTRING "${_text}" 0 ${ACCISE_EMBED_PIECE} _head)
        string(FIND "${_head}" "\n" _cut REVERSE)
        if(_cut EQUAL -1)
          string(FIND "${_text}" "\n" _cut)
          if(_cut EQUAL -1)
            math(EXPR _cut "${_len} - 1")
          endif()
        endif()
        math(EXPR _cut "${_cut} + 1")
        string(SUBSTRING "${_text}" 0 ${_cut} _piece)
        string(SUBSTRING "${_text}" ${_cut} -1 _text)
      else()
        set(_piece "${_text}")
        set(_text "")
      endif()
      string(APPEND _out "    files.back().second += std::string_view(R\"TSV(${_piece})TSV\");\n")
    endwhile()
  endforeach()
  string(APPEND _out "    return files;\n}\n\n} // namespace accise::embedded\n")
  file(WRITE "${OUT}" "${_out}")
  return()
endif()

set(_ACCISE_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")
get_filename_component(_ACCISE_TSV_DIR "${CMAKE_CURRENT_LIST_DIR}/../data/tables" ABSOLUTE)

function(accise_embed_tables target)
  set(tsv_dir "${_ACCISE_TSV_DIR}")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/generated/delivered_tables_data.cpp")
  # CONFIGURE_DEPENDS: a TSV added or removed re-runs the configuration.
  file(GLOB tsv_files CONFIGURE_DEPENDS "${tsv_dir}/*.tsv")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND "${CMAKE_COMMAND}" -DTSV_DIR=${tsv_dir} -DOUT=${out} -P "${_ACCISE_EMBED_SCRIPT}"
    DEPENDS ${tsv_files} "${_ACCISE_EMBED_SCRIPT}"
    COMMENT "Embedding the delivered code tables"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
