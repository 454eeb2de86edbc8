# The skin's pixel work: region scan, colour key and picture decoders.
add_executable(skin_bench ${CMAKE_CURRENT_LIST_DIR}/skin_bench.cpp)
target_link_libraries(skin_bench PRIVATE zubcore benchmark::benchmark)
