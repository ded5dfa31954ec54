// The document that config.json is written from, kept in step with the exchange table, so that a
// save after one Add or Remove re-creates one exchange instead of the whole table.
#pragma once

#include <functional>
#include <string_view>

namespace barterbox {

// Brings the document up to date with the table's changes and the current settings. A load calls
// it once the table is read, so that the first save after it does not build the document whole.
void UpdateConfigDocument();

// Hands `write` the text of config.json for the table and the settings: the JSON library's dump
// of the document, members in ascending byte order, each exchange with its Description, Give and
// Receive, brought up to date first. Throws the library's type_error, without calling `write`,
// when a name or text is not valid UTF-8.
void WriteConfigDocument(const std::function<void(std::string_view text)>& write);

// Frees the document; the next update builds it whole. A load calls it first, so that the old
// document's memory serves the new table instead of lingering beside it.
void ReleaseConfigDocument();

} // namespace barterbox
