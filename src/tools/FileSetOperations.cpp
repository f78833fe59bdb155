#include "tools/FileSetOperations.h"

#include "base/Cp1251.h"
#include "tools/SortedLineList.h"

namespace vocalix::tools {

std::string FileSetReport(FileSetOperation operation, std::string_view firstPath,
                          const std::vector<std::string>& firstLines, std::string_view secondPath,
                          const std::vector<std::string>& secondLines, const ReportHooks& hooks) {
    ReportRun run(hooks);
    SortedLineList second(true);
    second.AddLines(secondLines);
    SortedLineList result(true);
    run.Max(firstLines.size());
    const bool wantContained = operation == FileSetOperation::Intersection;
    for (size_t i = 0; i < firstLines.size(); ++i) {
        if (second.Contains(firstLines[i]) == wantContained)
            result.Add(firstLines[i]);
        run.Step(i);
    }
    if (operation == FileSetOperation::Union)
        for (const std::string& line : second.Lines())
            result.Add(line);

    const char* header = "";
    switch (operation) {
    case FileSetOperation::Difference:
        header = "# Разность файлов. Строк ПЕРВОГО файла, отсутствующих во ВТОРОМ: ";
        break;
    case FileSetOperation::Intersection:
        header = "# Пересечение файлов. Строк, общих для ПЕРВОГО и ВТОРОГО файлов: ";
        break;
    case FileSetOperation::Union:
        header = "# Объединение файлов. Строк (без дубликатов) из ПЕРВОГО и ВТОРОГО файлов: ";
        break;
    }
    std::string r = "# 1. ";
    r += firstPath;
    r += "\r\n# 2. ";
    r += secondPath;
    r += "\r\n";
    r += base::Cp(header) + std::to_string(result.Size()) + "\r\n\r\n";
    r += result.Text();
    return r;
}

} // namespace vocalix::tools
