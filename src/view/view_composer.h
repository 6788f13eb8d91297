// Composition of the image view's back buffer, and the snapshots taken from it.
// Layer view: the image view's zoom, scroll and composition; sits on engine.
#pragma once

#include "engine/image.h"
#include "view/image_view_model.h"

namespace tavelune {

/// Composes what the view shows into its back buffer, touching only the pixels inside area
/// (window coordinates): grey surround, picture background, a 1-pixel black frame and the
/// visible part of the picture with nearest sampling; or grey with the placeholder centred.
/// Composing a window in pieces gives the same pixels as composing it whole.
void composeView(ImageViewModel& model, const Rect& area);
void composeView(ImageViewModel& model);

/// A new picture of the window's size (72 dpi) holding what the window shows. Empty when
/// the window has no size.
Image snapshotFull(ImageViewModel& model);
/// The same at half the width and height (integer halves), drawn with bicubic sampling.
/// Empty when a half would be zero.
Image snapshotHalf(ImageViewModel& model);

}  // namespace tavelune
