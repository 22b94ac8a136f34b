# Google Benchmark for bench/, and valbrix_add_benchmark() to declare one binary.
#
#   valbrix_add_benchmark(<name> <sources...> [LIBS <libs...>])
#
# The binary links benchmark_main, so a file only registers BENCHMARK()s.
# The figures come from full runs by hand from build/bench/bench/; as CTest tests of the bench
# preset each benchmark only runs once, briefly.
include_guard(GLOBAL)

find_package(benchmark REQUIRED)

function(valbrix_add_benchmark name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LIBS")
  if(NOT arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "valbrix_add_benchmark(${name}): no sources given")
  endif()
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} benchmark::benchmark_main)
endfunction()
