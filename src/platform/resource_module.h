#pragma once
// Resources of Windows modules (PE32 and PE32+ images) read from their bytes, without loading
// them: the resource directory tree is walked by hand, every offset and size checked against the
// bytes, so a truncated or hostile file yields nothing rather than a read past its end.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessary::platform {

inline constexpr std::uint32_t kResourceTypeBitmap = 2;  // RT_BITMAP

// The data of resource `id` of type `type` in its first language, as a view into `module`.
// Nothing when the bytes are not a PE image, have no such resource, or anything on the way to it
// lies outside the bytes.
std::optional<std::string_view> FindResource(std::string_view module, std::uint32_t type,
                                             std::uint32_t id);

// Bitmap resource `id` as a complete .bmp file: the resource's DIB behind the file header it is
// stored without. Nothing when FindResource finds none or the DIB's header or colour table is
// not whole.
std::optional<std::string> FindBitmapResource(std::string_view module, std::uint32_t id);

}  // namespace tessary::platform
