#pragma once
// libxml2 checks for the documents the tests produce.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace testsupport {

// Parses the bytes as XML (no network, no entity loading); the failure names the first error.
// A document without a declaration is read as windows-1251, the code page the tests run in.
::testing::AssertionResult IsWellFormedXml(std::string_view document);

// The same for a body fragment: wrapped in a root element that declares the FB2 namespaces.
::testing::AssertionResult IsWellFormedFragment(std::string_view fragment);

// The concatenated character data of a document (tags removed, entities resolved), as UTF-8.
std::string XmlTextContent(std::string_view document);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);

}  // namespace testsupport
