# Checks what each layer of src/ may include (run as `cmake -DSRC=<src folder> -P` by CTest).
# Quoted includes only; Qt and system headers are left to the libraries each layer links.
#
#   platform/          platform/
#   app/ (kernel)      platform/, the kernel
#   zip/               platform/, the kernel, zip/
#   app/ui/ (kit)      platform/, the kernel, the kit
#   tools' logic       anything but a window (no ui/ folder, no shell)
#   tools' windows     anything but the shell
#   cli/               anything but a window or the shell
#   app/shell/         anything
if(NOT SRC)
  message(FATAL_ERROR "SRC is not set")
endif()

set(KERNEL "app/[a-z0-9_]+\\.h")
set(failures "")

# Every file matching `glob` (recursively when `recurse` is RECURSE) includes only headers
# matching `allowed`.
function(check_folder glob allowed recurse)
  if(recurse STREQUAL "RECURSE")
    file(GLOB_RECURSE files "${SRC}/${glob}")
  else()
    file(GLOB files "${SRC}/${glob}")
  endif()
  foreach(file ${files})
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
      if(NOT header MATCHES "^(${allowed})$")
        file(RELATIVE_PATH rel "${SRC}" "${file}")
        set(failures "${failures}\n  ${rel} includes ${header}" PARENT_SCOPE)
        set(failures "${failures}\n  ${rel} includes ${header}")
      endif()
    endforeach()
  endforeach()
endfunction()

check_folder("platform/*" "platform/.+" RECURSE)
check_folder("app/*.[hc]*" "platform/.+|${KERNEL}" FLAT)
check_folder("zip/*" "platform/.+|${KERNEL}|zip/.+" RECURSE)
check_folder("app/ui/*" "platform/.+|${KERNEL}|app/ui/.+" RECURSE)
foreach(tool scan dup delete search clean stats browse)
  # A tool's logic (files directly in its folder) knows no window; its windows know no shell.
  check_folder("${tool}/*.[hc]*" "(platform|zip|scan|dup|delete|search|clean|stats|browse)/[a-z0-9_]+\\.h|${KERNEL}" FLAT)
  check_folder("${tool}/ui/*" "(platform|zip|scan|dup|delete|search|clean|stats|browse)/([a-z0-9_]+/)?[a-z0-9_]+\\.h|${KERNEL}|app/ui/.+" RECURSE)
endforeach()
check_folder("cli/*" "(platform|zip|scan|dup|delete|search|clean|stats|browse|cli)/[a-z0-9_]+\\.h|${KERNEL}" RECURSE)

if(failures)
  message(FATAL_ERROR "Includes across the layers:${failures}")
endif()
message(STATUS "Every include keeps to its layer.")
