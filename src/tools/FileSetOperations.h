#pragma once

#include "tools/ReportRun.h"

#include <string>
#include <string_view>
#include <vector>

namespace vocalix::tools {

// The set operations of "Разность файлов...", "Пересечение файлов..." and
// "Объединение файлов..." (numbered as FOper numbers them).
enum class FileSetOperation { Difference = 1, Intersection = 2, Union = 3 };

// The report of an operation over the lines of two files, each given by its full path (as the
// header shows it) and its lines in file order. Membership and duplicates ignore letter case;
// the result is sorted.
std::string FileSetReport(FileSetOperation operation, std::string_view firstPath,
                          const std::vector<std::string>& firstLines, std::string_view secondPath,
                          const std::vector<std::string>& secondLines,
                          const ReportHooks& hooks = {});

} // namespace vocalix::tools
