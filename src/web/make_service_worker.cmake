# Writes the page's service worker (service_worker.js.in) once every other file of the page is
# built: its cache is named after the version and a digest of those files, so any change to them
# is a new worker and a new cache.
#   cmake -DPAGE_DIR=... -DTEMPLATE=... -DOUTPUT=... -DVERSION=... -DFILES="a;b;c" -P this file
set(digests "")
set(quoted "'./'")
foreach(name ${FILES})
  file(SHA256 ${PAGE_DIR}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND quoted ", '${name}'")
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING "${build}" 0 16 build)
set(VELMORAK_PAGE_BUILD "${VERSION}-${build}")
set(VELMORAK_PAGE_FILES "${quoted}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
