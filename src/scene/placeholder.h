// Objects whose model the catalog does not hold (not listed, or its mesh could not be loaded) stand in the
// stage as placeholders: a unit box standing on the object's position, scaled and turned with it. Picking,
// the spatial index, dropping and the selection outline take this box as the object's bounds, so what the
// view draws is what the mouse finds.
#pragma once

#include <string>

#include "resource/model_manager.h"
#include "stagefile/stage_types.h"

// A placeholder's model: no mesh, bounds x and z from -0.5 to 0.5, y from 0 to 1.
const ModelData& PlaceholderModel();
// The object's model, or the placeholder when the catalog (which may be null) does not hold it.
const ModelData& ModelOrPlaceholder(const StageObject& object, const CModelManager* models);
// The bounds of the label's model, or the placeholder's when the catalog does not hold it.
void ModelBoundsOf(const CModelManager* models, const std::string& label, D3DXVECTOR3* min, D3DXVECTOR3* max);
// The world transform that puts the cube from 0 to 1 on the placeholder of an object placed as `part`.
D3DXMATRIX PlaceholderWorld(const ObjectPart& part);
