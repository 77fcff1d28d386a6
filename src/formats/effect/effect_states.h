// The state names a pass of an effect may set (render, sampler, texture stage, shader, transform, light
// and material states), compared ignoring case as the effect compiler does.
#pragma once

#include <string>

bool IsPassState(const std::string& name);
