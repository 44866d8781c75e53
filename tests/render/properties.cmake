# Property tests of the renderer: the clipper against Boost.Geometry, and the triangle fill's
# invariants over random triangles. The fill test links its own logging raster module, so it is
# a binary of its own.
find_package(Boost REQUIRED)

clipdraw_test(clip_oracle_test render/clip_oracle_test.cpp)
target_link_libraries(clip_oracle_test PRIVATE Boost::headers)

clipdraw_test(fill_invariant_test render/fill_invariant_test.cpp)
