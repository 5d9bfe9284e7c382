# Packs the download: NAME.zip holding the folder NAME with the stripped vantor.exe and the user guide as
# vantor-guide.txt (a byte-order mark and CR LF line ends, so Notepad shows it as written).
#   cmake -DEXE=... -DSTRIP=<strip or empty> -DGUIDE=... -DSTAGING=<scratch folder> -DNAME=... -DZIP=... -P ReleaseZip.cmake
foreach(argument EXE GUIDE STAGING NAME ZIP)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "ReleaseZip.cmake needs -D${argument}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${STAGING}/${NAME})
if(STRIP)
  execute_process(COMMAND ${STRIP} -o ${STAGING}/${NAME}/vantor.exe ${EXE} COMMAND_ERROR_IS_FATAL ANY)
else()
  # MSVC keeps its debug information out of the exe already.
  file(COPY_FILE ${EXE} ${STAGING}/${NAME}/vantor.exe)
endif()

file(READ ${GUIDE} guide)
string(REPLACE "\r\n" "\n" guide "${guide}")
string(REPLACE "\n" "\r\n" guide "${guide}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE ${STAGING}/${NAME}/vantor-guide.txt "${byte_order_mark}${guide}")

file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${NAME}
  WORKING_DIRECTORY ${STAGING} COMMAND_ERROR_IS_FATAL ANY)
