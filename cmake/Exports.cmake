# ipo_entry_point_library(<target>): a shared library that exports its extern "C" entry points
# and nothing else. The sources are compiled with hidden visibility and the ABI header marks
# each entry point for export. The library's own sources are only its entry points; the rest
# comes from static libraries whose symbols stay local, even the runtime's template instances
# (which its headers mark visible).
function(ipo_entry_point_library target)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    PREFIX "")
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL)
endfunction()
