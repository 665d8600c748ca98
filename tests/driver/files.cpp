// Driver: removing the files and folders a test made.
#include "driver.h"

#include <shellapi.h>

namespace driver {

void RemoveFolder(const std::string &folder)
{
    std::string from = folder + '\0';  // a list of names, ended by an empty one
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

}  // namespace driver
