# The Linux program's hardening, as Debian builds its packages: in the
# optimised builds (Release, RelWithDebInfo, MinSizeRel) the C library checks
# the sizes of buffers it is given where the compiler knows them
# (_FORTIFY_SOURCE=2) and functions with local arrays carry a stack guard;
# every build is linked with full RELRO (relocations resolved at start-up,
# then made read-only). The program is position-independent, as Debian's
# compiler makes every program. Debug builds keep fortification off: it
# needs optimisation and would get in the sanitizers' way.
# The installed program's .comment section (the compilers' names and
# versions) goes at install time, in packaging/CMakeLists.txt.
include_guard(GLOBAL)

set(optimised "$<NOT:$<CONFIG:Debug>>")
# A compiler that defines its own level (some distributions' do) would warn
# about the redefinition.
add_compile_options("$<${optimised}:-U_FORTIFY_SOURCE>" "$<${optimised}:-D_FORTIFY_SOURCE=2>"
                    "$<${optimised}:-fstack-protector-strong>")
add_link_options(-Wl,-z,relro,-z,now)
unset(optimised)
