// Writing the files easel makes (documents, pictures, logs, icons, the
// studio's recovery journal): one helper, so that every output is either
// complete or not there, and replacing a file keeps what the person set up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace easel {

// Writes `data` to `path` through a temporary file in the destination's
// folder and a rename, so that the file is either complete or not there.
// An existing destination keeps its permission bits (and, where allowed,
// its owner); a symbolic link stays a link and the file it points to is
// replaced. The temporary file is named ".NAME.easel-tmp-PID-N"; those of
// the same destination left by a process that has gone (killed mid-write)
// are removed by the next write there.
bool writeFileAtomically(const std::string& path, const std::string& data, std::string& error);
// The same with the contents handed over in pieces by `produce`. Contents
// past `maxBytes` are refused whole: nothing is written and the error names
// the limit (documents are never written larger than easel reads).
using FilePieceSink = std::function<void(std::string_view)>;
bool writeFileAtomically(const std::string& path, const std::function<void(const FilePieceSink&)>& produce,
                         std::string& error, std::uintmax_t maxBytes = UINTMAX_MAX);

// Makes the folder when missing and checks that files can be made in it (a
// file is made there and removed); false with the reason otherwise.
bool checkFolderWritable(const std::string& folder, std::string& error);

}  // namespace easel
