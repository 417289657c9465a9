# Checks the guide's page against the windows: every section id that F1 opens (the constants
# named ...Section in each source file of WINDOWS) is an anchor of the page
# GUIDE, and every picture is inside it.
set(sections "")
foreach(source_file ${WINDOWS})
  file(READ ${source_file} windows)
  string(REGEX MATCHALL "Section = \"[a-z-]+\"" named "${windows}")
  list(LENGTH named count)
  if(count EQUAL 0 OR (source_file MATCHES "main_form" AND count LESS 4))
    message(FATAL_ERROR "${source_file}: found ${count} guide sections, expected one per window")
  endif()
  list(APPEND sections ${named})
endforeach()
file(READ ${GUIDE} page)
foreach(section ${sections})
  string(REGEX REPLACE ".*\"([a-z-]+)\"" "\\1" id "${section}")
  string(FIND "${page}" "id=\"${id}\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${GUIDE}: no section id=\"${id}\" for F1")
  endif()
endforeach()
string(REGEX MATCH "<img[^>]* src=\"[^d][^\"]*\"" outside "${page}")
if(outside)
  message(FATAL_ERROR "${GUIDE}: a picture outside the page: ${outside}")
endif()
# Each picture is offered sharp on ordinary and high-resolution screens.
string(REPLACE "data:image/png;base64," "data:" bare "${page}")  # no ";" to split the list
string(REGEX MATCHALL "<img [^>]*>" pictures "${bare}")
string(REGEX MATCHALL "<source media=\"[(]min-resolution: [^\"]+\" srcset=\"data:[^\"]+\"><img "
       offered "${bare}")
list(LENGTH pictures count)
list(LENGTH offered sharp)
if(count EQUAL 0 OR NOT sharp EQUAL count)
  message(FATAL_ERROR "${GUIDE}: ${sharp} of ${count} pictures have a drawing for each resolution")
endif()
# Prose in a proportional face; no header squeezed letter by letter; code wraps rather than
# running off the screen or the paper.
foreach(rule "body { font-family: \"IPAPGothic\"" "th { [^}]*white-space: nowrap"
             "pre { [^}]*white-space: pre-wrap")
  if(NOT page MATCHES "${rule}")
    message(FATAL_ERROR "${GUIDE}: the style sheet lacks ${rule}")
  endif()
endforeach()
# A line of the guide broken after a Japanese character before a Latin word shows a blank
# there (unless the character is the punctuation 、 or 。 or a bracket).
file(READ ${SOURCE} source)
string(REGEX MATCHALL "[^\n -~][^\n -~][^\n -~]\n[A-Za-z][A-Za-z]+" breaks "${source}")
foreach(break ${breaks})
  string(REPLACE "\n" "[ \n]" shown "${break}")  # a line break shows as a blank
  if(NOT break MATCHES "^(、|。|）|」|（|「)" AND NOT page MATCHES "${shown}")
    string(REPLACE "\n" " " break "${break}")
    message(FATAL_ERROR "${GUIDE}: the blank of \"${break}\" is lost")
  endif()
endforeach()
