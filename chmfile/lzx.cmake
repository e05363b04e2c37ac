# The LZX encoder of CHM section 1.  Links nothing but the standard library
# and threads so the container writer and the benchmarks can take it alone.
find_package(Threads REQUIRED)

add_library(zanvo_lzx STATIC
  ${CMAKE_CURRENT_LIST_DIR}/lzx_encoder.cc)
target_include_directories(zanvo_lzx PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(zanvo_lzx PRIVATE Threads::Threads)

# The tests decode with libmspack's own LZX decoder.  Its shared library does
# not export the decoder, so the tests take it from the static archive.
find_library(ZANVO_MSPACK_STATIC NAMES libmspack.a)
zanvo_add_test(lzx_encoder_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/lzx_encoder_test.cc
  LIBS zanvo_lzx ${ZANVO_MSPACK_STATIC} PkgConfig::MSPACK)

zanvo_add_benchmark(lzx_encoder_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/lzx_encoder_bench.cc
  LIBS zanvo_lzx)
