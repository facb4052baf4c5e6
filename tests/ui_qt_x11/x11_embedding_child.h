// The child process of the embedding test, started as "platform_tests --embedding-child <host>".
#pragma once

namespace quillet {

inline constexpr const char* EmbeddingChildFlag = "--embedding-child";
int RunEmbeddingChild(int Argc, char** Argv, int Index);

}  // namespace quillet
