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

/// A developed picture, not yet copied out: fill writes its width x height pixels as red,
/// green, blue bytes, top row first, to out (LibRaw's last step, straight into the block).
struct Developed {
    int width = 0;
    int height = 0;
    std::function<bool(unsigned char* out)> fill;
};

/// Serves one request. reply receives the failure, the shot information and the sizes;
/// sendPixels is called once with the developed picture (when one was asked for and made)
/// and returns whether it could hand it on.
void serveRequest(Request request, const std::string& path, RequestSize size, RawReply& reply,
                  const std::function<bool(const Developed&)>& sendPixels);

}  // namespace tavelune::rawhelper
