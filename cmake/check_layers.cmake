# cmake -DROOT=<tree> -P check_layers.cmake: the configure-time layering check on its own.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/QuilletLayers.cmake)
quillet_check_layers("${ROOT}")
