# Unpacks ZIP into INTO, emptied first: cmake -DZIP=... -DINTO=... -P UnpackZip.cmake
file(REMOVE_RECURSE ${INTO})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${INTO})
