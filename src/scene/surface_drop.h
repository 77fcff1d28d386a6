// Dropping an object straight down onto what lies below it: another object's triangles (its box when it
// has no mesh) or the ground plane y = 0, with the same tests as mouse picking.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "resource/model_manager.h"
#include "scene/stage_index.h"
#include "stagefile/stage_types.h"

// How far the object `index` of the group `tag` must move down for the lowest point of its box to rest on
// the highest surface under its footprint (0 when it rests there already); nothing when no surface lies
// below it. Objects of groups that `visible` refuses are passed through.
std::optional<float> DropDistance(const StageGroups& groups, const std::string& tag, int index,
                                  const CModelManager& models,
                                  const std::function<bool(const std::string&)>& visible);
// The same, looking only at the objects whose boxes in `spatial` (up to date with `groups`) reach under the
// object's footprint.
std::optional<float> DropDistance(const StageGroups& groups, const std::string& tag, int index,
                                  const CModelManager& models,
                                  const std::function<bool(const std::string&)>& visible, const CStageIndex& spatial);

// Where an object placed as `part` says (turned and scaled) must stand for the lowest point of its model's
// bounds [modelMin, modelMax] to rest at `point`: the point's x and z, and its y less how far the turned
// bounds reach below the object's origin.
D3DXVECTOR3 RestingPosition(const ObjectPart& part, const D3DXVECTOR3& modelMin, const D3DXVECTOR3& modelMax,
                            const D3DXVECTOR3& point);

// The turn (pitch, yaw, roll, as an object's Rot) that keeps the yaw and stands the object's up axis along
// the unit `normal`: for a new object aligned to the surface it is placed on.
D3DXVECTOR3 UpAlongNormal(const D3DXVECTOR3& normal, float yaw);
