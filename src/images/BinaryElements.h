#pragma once
// The two FB2 pieces that carry a picture: the reference in the text and the binary element.

#include <string>
#include <string_view>

namespace images {

// <image xlink:href="#id"/>, the id XML-escaped.
std::string ImageReference(std::string_view id);

// <binary content-type="image/type" id="id">BASE64\r\n</binary>\r\n, values XML-escaped.
void AppendBinaryElement(std::string& out, std::string_view type, std::string_view id,
                         std::string_view base64);

}  // namespace images
