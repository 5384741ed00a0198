#pragma once
// The vendor's signing command, run on the finished installer before it gets
// its name. The command comes from --sign or $VELMORAN_SIGN, never from the
// project file: it may hold a password, so it is never printed or logged.
//
//   {file}          replaced by the path of the file to sign in place
//                   (signtool sign /fd sha256 /f cert.pfx /p secret {file})
//   {in} and {out}  for tools that write a new file
//                   (osslsigncode sign -pkcs12 cert.pfx -pass secret -in {in} -out {out})
//
// The paths are quoted for the shell the command runs through (/bin/sh, or
// cmd.exe on Windows); the command's own arguments are quoted as that shell
// wants them.

#include <filesystem>
#include <string>

namespace velmoran::builder {

// Throws Failure naming `shownAs` when the command names no file to sign,
// cannot be started, fails (its exit code and output are told), or leaves no
// signed file.
void SignFile(const std::string& command, const std::filesystem::path& file, const std::filesystem::path& shownAs);

}  // namespace velmoran::builder
