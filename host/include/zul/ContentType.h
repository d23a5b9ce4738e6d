#pragma once

namespace zul {

/// Kinds of content that decoders produce and encoders consume.
enum ContentType {
    CT_UNDEFINED = 0,
    CT_GEOMETRY = 1,
    CT_MATERIAL = 2,
    CT_TEXTURE = 3,
    CT_SHAPE = 4,
    CT_SGB = 5, ///< compiled rule file
    CT_COUNT = 6,
};

} // namespace zul
