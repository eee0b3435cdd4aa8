# Firebird's own C++ client interface (firebird/Interface.h) over libfbclient.
find_path(FIREBIRD_INCLUDE_DIR firebird/Interface.h REQUIRED)
find_library(FIREBIRD_CLIENT_LIBRARY NAMES fbclient REQUIRED)
add_library(Firebird::Client UNKNOWN IMPORTED)
set_target_properties(Firebird::Client PROPERTIES
  IMPORTED_LOCATION ${FIREBIRD_CLIENT_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${FIREBIRD_INCLUDE_DIR})
