// A model variant that keeps only the base behaviour: it loads and draws nothing.
#pragma once

#include "vModel.h"

class vAnimatedModel : public vModel {
public:
    vAnimatedModel() = default;
    ~vAnimatedModel() override = default;
    vAnimatedModel(const vAnimatedModel&) = default;             // as vModel's copy
    vAnimatedModel& operator=(const vAnimatedModel&) = default;  // as vModel's assignment
};
