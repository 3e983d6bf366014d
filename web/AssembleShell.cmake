# cmake -DSHELL=... -DSTUDY_HTML=... -DWHICH_LAW=... -DSTUDY_JS=a.js;b.js;... -DORBIT_JS=... -DSTEPS_JS=... -DWORKER=... -DOUT=... -P AssembleShell.cmake
# The page's shell with the study in it: its markup, its script, and the
# worker's message loop as inert text, from which (and the page's own module
# script) the page makes its workers: a Blob's address works from file:// and
# from any server.
file(READ ${SHELL} shell)
file(READ ${STUDY_HTML} markup)
file(READ ${WHICH_LAW} table) # scripts/which-law makes it from homing-sim's maps
string(REPLACE "<!-- which law -->" "${table}" markup "${markup}")
set(script "")
foreach(part_file ${STUDY_JS}) # the study's parts, then study.js
  file(READ ${part_file} part)
  string(APPEND script "${part}")
endforeach()
file(READ ${ORBIT_JS} orbit) # the orbit figure, a script of its own
file(READ ${STEPS_JS} steps) # the steps' source, made by step-sources.mjs
string(APPEND script "${orbit}" "${steps}")
file(READ ${WORKER} worker)
foreach(part script worker)
  string(FIND "${${part}}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${part} holds </script, which would end its element in the page")
  endif()
endforeach()
string(REPLACE "<!-- study markup -->" "${markup}" shell "${shell}")
string(REPLACE "<!-- study script -->" "<script>\n${script}</script>\n<script type=\"text/js-worker\" id=\"study-worker\">${worker}</script>" shell "${shell}")
file(WRITE ${OUT}.new "${shell}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
