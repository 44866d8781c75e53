# Frames of the benchmark scenes and of scattered shapes, bit for bit as the renderer drew them
# before it was made faster. The grid scenes come from the benchmarks' own scene builder.
clipdraw_test(frame_identity_test render/frame_identity_test.cpp
              ${PROJECT_SOURCE_DIR}/bench/scenes.cpp)
target_include_directories(frame_identity_test PRIVATE ${PROJECT_SOURCE_DIR}/bench)
