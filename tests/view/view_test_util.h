// Shared set-up of the view tests.
#pragma once

#include "engine/image.h"
#include "view/image_view_model.h"

namespace tavelune::test {

/// A view model showing picture in a client area of that size.
inline ImageViewModel viewOf(const Image& picture, int clientWidth, int clientHeight)
{
    ImageViewModel model;
    model.setClientSize(clientWidth, clientHeight);
    model.setPicture(&picture);
    return model;
}

}  // namespace tavelune::test
