#pragma once

#include <atomic>
#include <functional>
#include <optional>

#include <QString>

#include "session/picture_size.h"
#include "session/recipe.h"

namespace genart {

// The stages of saving a picture drawn larger than it is shown, in order.
enum class SaveStage { Drawing, Encoding, Writing };

// How far a save has got: the stage and the part of it done, 0 to 1. Called from the thread
// that saves.
using SaveProgress = std::function<void(SaveStage stage, double done)>;

// Draws the recipe's picture at `size`, with its caption or without, encodes it in the format
// the path's extension names, carrying the recipe, and writes it to `path`, where it appears
// whole or not at all; an existing regular file there is replaced. Nothing when `cancel` was
// set before the file was in place; otherwise an empty string, or a line naming the path and
// why it was not written.
std::optional<QString> savePoster(const Recipe& recipe, const PictureSize& size, bool caption, const QString& path,
                                  const SaveProgress& progress, const std::atomic<bool>& cancel);

} // namespace genart
