# One interface target carries the project's warning level and Qt's strict mode; every target links it.
add_library(tarvik_flags INTERFACE)
target_compile_options(tarvik_flags INTERFACE -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor
  # Columns and other settings are written as designated initialisers that leave the rest at their defaults.
  -Wno-missing-field-initializers)
target_compile_definitions(tarvik_flags INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_NO_KEYWORDS
  QT_NO_JAVA_STYLE_ITERATORS
  QT_USE_QSTRINGBUILDER
  QT_NO_CONTEXTLESS_CONNECT
  TARVIK_SERVER_ADDRESS="${TARVIK_SERVER_ADDRESS}")
