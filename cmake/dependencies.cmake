# Every library the build uses, found at configure time. A missing one stops the configure
# step naming the Debian package that provides it (scripts/setup installs them all), rather
# than failing halfway through the build.
function(veltrix_require found what package)
  if(NOT ${found})
    message(FATAL_ERROR "${what} not found: install the Debian package ${package} "
                        "(scripts/setup installs every dependency)")
  endif()
endfunction()

find_package(PkgConfig QUIET)
veltrix_require(PkgConfig_FOUND "pkg-config" pkg-config)

find_package(ICU QUIET COMPONENTS uc i18n)
veltrix_require(ICU_FOUND "ICU (uc, i18n)" libicu-dev)
find_package(GTest QUIET)
veltrix_require(GTest_FOUND "GoogleTest and GoogleMock" "libgtest-dev and libgmock-dev")
find_package(CLI11 CONFIG QUIET)
veltrix_require(CLI11_FOUND "CLI11" libcli11-dev)
find_package(nlohmann_json 3 CONFIG QUIET)
veltrix_require(nlohmann_json_FOUND "nlohmann-json" nlohmann-json3-dev)
pkg_check_modules(HTTPLIB QUIET IMPORTED_TARGET GLOBAL cpp-httplib)
veltrix_require(HTTPLIB_FOUND "cpp-httplib" libcpp-httplib-dev)

if(VELTRIX_BENCH)
  find_package(benchmark CONFIG QUIET)
  veltrix_require(benchmark_FOUND "Google Benchmark (or configure with -DVELTRIX_BENCH=OFF)"
                  libbenchmark-dev)
  pkg_check_modules(LIBPLIST QUIET IMPORTED_TARGET GLOBAL libplist-2.0)
  veltrix_require(LIBPLIST_FOUND "libplist, the benchmarks' peer (or -DVELTRIX_BENCH=OFF)"
                  libplist-dev)
endif()
