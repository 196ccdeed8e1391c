#include "scene/FrameTick.h"

namespace tarnwood {

std::uint32_t frameTick = 0;

}
