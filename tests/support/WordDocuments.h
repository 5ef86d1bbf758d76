#pragma once
// Word-processor documents for the tests of the export bridge: an RTF text written here (a
// heading, bold and italic runs, a list, a table, a picture and Cyrillic text) and the .docx and
// .doc that LibreOffice makes of it.

#include <string>

namespace testsupport {

// The RTF text. Its Cyrillic line reads "Привет мир".
std::string SampleRtf();

// True when soffice is on PATH.
bool HaveLibreOffice();

// Converts `source` with LibreOffice into `format` ("docx", "doc:MS Word 97") in `folder`, with a
// profile of its own under `folder`; the path of the new file, empty on failure.
std::string ConvertWithLibreOffice(const std::string& source, const std::string& format,
                                   const std::string& folder);

}  // namespace testsupport
