#pragma once

namespace romwriter {

// Local 8-bit text, such as the title in an image file, is GB18030. Returns
// false when Qt has no such codec (text then decodes as UTF-8).
bool useGb18030AsLocalEncoding();

} // namespace romwriter
