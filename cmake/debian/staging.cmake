# CPack's step between staging the installed files and packing them: compresses the manual pages
# and adds the Debian changelog and the copyright file, as Debian's policy asks. Runs with
# CPack's variables; the files are staged under CPACK_TEMPORARY_DIRECTORY.
find_program(QUILLET_GZIP gzip REQUIRED)
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")

# Without names or times inside, so that the same files give the same package.
function(quillet_gzip file)
  execute_process(COMMAND "${QUILLET_GZIP}" -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endfunction()

file(GLOB pages "${root}/${CPACK_QUILLET_MANDIR}/man*/*.[1-9]")
foreach(page IN LISTS pages)
  quillet_gzip("${page}")
endforeach()

set(doc "${root}/${CPACK_QUILLET_DOCDIR}")
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CPACK_QUILLET_COPYRIGHT}" "${doc}/copyright")
file(CHMOD "${doc}/copyright" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# A native package's changelog: one entry for the version packed, dated by SOURCE_DATE_EPOCH
# when it is set.
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${doc}/changelog" "${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium

  * Built from the Quillet source tree.

 -- ${CPACK_PACKAGE_CONTACT}  ${date}
")
file(CHMOD "${doc}/changelog" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
quillet_gzip("${doc}/changelog")
