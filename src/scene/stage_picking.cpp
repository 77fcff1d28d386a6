#include "scene/stage.h"

void CStage::Picking() {}
