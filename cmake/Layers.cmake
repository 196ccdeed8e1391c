# The system's source folders as layers, and which layers each may use.
#
#   tarnwood_layer(<folder> [<layer it may use>...])
#
# Code in a folder may include its own headers and those of the layers named
# after it, never those of another folder: not of a layer above it or beside
# it, and not of assets/, tools/, tests/, bench/ or fuzz/, which sit on top
# of every layer and may include anything. A folder inside a layer's folder
# is a layer of its own, above the one around it. The root CMakeLists.txt
# links each layer's library to exactly the layers named here, and
# CheckLayering.cmake holds every #include of the layers' files to them.

set(TARNWOOD_LAYERS)

macro(tarnwood_layer folder)
  list(APPEND TARNWOOD_LAYERS ${folder})
  string(MAKE_C_IDENTIFIER "${folder}" tarnwood_layer_key)
  set(TARNWOOD_LAYER_USES_${tarnwood_layer_key} ${ARGN})
endmacro()

tarnwood_layer(platform)
tarnwood_layer(proctex)
tarnwood_layer(resources proctex platform)
tarnwood_layer(scene resources proctex platform)
tarnwood_layer(content scene resources proctex platform)
tarnwood_layer(app content scene resources proctex platform)
tarnwood_layer(app/dialog app content scene resources proctex platform)
