// One raw file through LibRaw, in the raw developer process only.
#pragma once

#include <functional>
#include <string>

#include "engine/raw_reply.h"

namespace tavelune::rawhelper {

/// What the parent asks for; the names are the helper's first argument.
enum class Request { Develop, DevelopHalf, WorkingCopy, Preview, ShotInfo };

/// The parameters of a request: maxSide for WorkingCopy, minWidth x minHeight for Preview.
struct RequestSize {
    int a = 0;
    int b = 0;
};

/// Developed pixels, 8-bit, top row first, colours per pixel 3 (RGB) or 1 (grey).
struct Developed {
    const unsigned char* data = nullptr;
    int width = 0;
    int height = 0;
    int colours = 0;
};

/// Serves one request. reply receives the failure, the shot information and the sizes;
/// sendPixels is called once with the developed picture (when one was asked for and made)
/// and returns whether it could hand it on.
void serveRequest(Request request, const std::string& path, RequestSize size, RawReply& reply,
                  const std::function<bool(const Developed&)>& sendPixels);

}  // namespace tavelune::rawhelper
