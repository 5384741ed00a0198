# Writes the linker script of the stub: ld's own default for this target, with
# the resource section moved after the base relocations, so .rsrc is the last
# section of the file, and unused functions collected (below). The builder
# rebuilds the resources of each installer in place, which only the last
# section can do without moving any other.
#   include() with VELMORAN_STUB_LDSCRIPT set to the output path.
execute_process(COMMAND ${CMAKE_LINKER} --verbose OUTPUT_VARIABLE ld_text RESULT_VARIABLE ld_result)
set(rule "==================================================")
string(FIND "${ld_text}" "${rule}" start)
string(FIND "${ld_text}" "${rule}" end REVERSE)
if(NOT ld_result EQUAL 0 OR start EQUAL -1 OR end LESS_EQUAL start)
  message(FATAL_ERROR "${CMAKE_LINKER} --verbose printed no default linker script")
endif()
string(LENGTH "${rule}" rule_length)
math(EXPR start "${start} + ${rule_length}")
math(EXPR length "${end} - ${start}")
string(SUBSTRING "${ld_text}" ${start} ${length} script)

string(FIND "${script}" "  .rsrc BLOCK" rsrc_at)
string(FIND "${script}" "  .reloc BLOCK" reloc_at)
string(FIND "${script}" "  .stab BLOCK" stab_at)
if(rsrc_at EQUAL -1 OR reloc_at LESS rsrc_at OR stab_at LESS reloc_at)
  message(FATAL_ERROR "ld's default script does not place .rsrc, .reloc and .stab as expected")
endif()
math(EXPR rsrc_length "${reloc_at} - ${rsrc_at}")
math(EXPR reloc_length "${stab_at} - ${reloc_at}")
string(SUBSTRING "${script}" 0 ${rsrc_at} head)
string(SUBSTRING "${script}" ${rsrc_at} ${rsrc_length} rsrc)
string(SUBSTRING "${script}" ${reloc_at} ${reloc_length} reloc)
string(SUBSTRING "${script}" ${stab_at} -1 tail)
# ld's default keeps every function's unwind entry (.pdata), and with it every
# function of each object linked, used or not: section collection would then
# leave out only whole objects. Without the KEEP the entries follow the code
# they describe; those of the functions left out stay behind as empty entries,
# which sort first and match no address. The unwind data itself (.xdata) stays
# kept: collection does not follow its references, and it names what the code
# needs to catch an exception (the handlers and the types of catch clauses).
string(FIND "${head}" "KEEP(*(.pdata*))" keep_at)
if(keep_at EQUAL -1)
  message(FATAL_ERROR "ld's default script does not keep .pdata as expected")
endif()
string(REPLACE "KEEP(*(.pdata*))" "*(.pdata*)" head "${head}")
file(WRITE "${VELMORAN_STUB_LDSCRIPT}" "${head}${reloc}${rsrc}${tail}")
