#pragma once

namespace tarnwood {

// A render hook function: `phase` is 1 before a node's meshes, 2 after them,
// 3 before each child's render and 4 after it.
using RenderHookFunction = void (*)(int phase, int parameter);

// A hook as a node keeps it: the function and the parameter it is called with.
struct RenderHook {
    RenderHookFunction function = nullptr;
    int parameter = 0;
};

}
