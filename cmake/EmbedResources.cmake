# sv_embed_resources(<output.cpp> <type> <name> <file> [<type> <name> <file> ...])
# Writes a source file that assembles each file's bytes into the object (.incbin) and defines the
# table that svp::FindEmbeddedResource serves. The object is rebuilt whenever a listed file changes.
# A file may be the output of a custom command of the directory that calls this.
function(sv_embed_resources output)
    set(entries ${ARGN})
    list(LENGTH entries length)
    math(EXPR remainder "${length} % 3")
    if(NOT remainder EQUAL 0)
        message(FATAL_ERROR "sv_embed_resources takes triples of type, name and file")
    endif()

    set(assembly "")
    set(table "")
    set(files "")
    set(declarations "")
    set(index 0)
    while(entries)
        list(POP_FRONT entries type name file)
        get_source_file_property(generated "${file}" GENERATED)
        if(NOT EXISTS "${file}" AND NOT generated)
            message(FATAL_ERROR "Resource ${type}/${name}: no file ${file}")
        endif()
        string(REPLACE "\\" "\\\\" escaped "${file}")
        string(REPLACE "\"" "\\\"" escaped "${escaped}")
        string(APPEND assembly
            "    \".global sv_resource_${index}_begin\\n\"\n"
            "    \".hidden sv_resource_${index}_begin\\n\"\n"
            "    \".global sv_resource_${index}_end\\n\"\n"
            "    \".hidden sv_resource_${index}_end\\n\"\n"
            "    \".balign 16\\n\"\n"
            "    \"sv_resource_${index}_begin:\\n\"\n"
            "    \".incbin \\\"${escaped}\\\"\\n\"\n"
            "    \"sv_resource_${index}_end:\\n\"\n"
            "    \".byte 0\\n\"\n")
        string(APPEND table
            "    {\"${type}\", \"${name}\", {sv_resource_${index}_begin, sv_resource_${index}_end}},\n")
        string(APPEND declarations
            "extern const std::uint8_t sv_resource_${index}_begin[];\n"
            "extern const std::uint8_t sv_resource_${index}_end[];\n")
        list(APPEND files "${file}")
        math(EXPR index "${index} + 1")
    endwhile()

    set(body "")
    if(index EQUAL 0)
        string(APPEND body "extern const EmbeddedResource kEmbeddedResourceTable[1] = {};\n"
                           "extern const std::size_t kEmbeddedResourceCount = 0;\n")
    else()
        string(APPEND body "asm(\"    .pushsection .rodata\\n\"\n${assembly}    \"    .popsection\\n\");\n\n"
                           "extern \"C\" {\n${declarations}}\n\n"
                           "extern const EmbeddedResource kEmbeddedResourceTable[] = {\n${table}};\n"
                           "extern const std::size_t kEmbeddedResourceCount = ${index};\n")
    endif()

    file(CONFIGURE OUTPUT "${output}" CONTENT
"// Written by the build from the resource list; do not edit.
#include \"EmbeddedResources.h\"

#include <cstddef>
#include <cstdint>

namespace svp {

${body}
} // namespace svp
" @ONLY)
    set_source_files_properties("${output}" PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()
