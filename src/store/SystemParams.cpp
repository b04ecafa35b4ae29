#include "store/SystemParams.h"

#include "store/AdoQuery.h"

std::optional<std::string> ReadSystemParam(AdoConnection& connection, const std::string& name) {
    AdoQuery q(&connection);
    q.OpenBound("SELECT 参数值 FROM 系统参数 WHERE 参数名=?", {std::string_view(name)});
    if (q.Eof() || q.Fields(0).IsNull()) return std::nullopt;
    return q.Fields(0).AsString();
}

void WriteSystemParam(AdoConnection& connection, const std::string& name, const std::string& value) {
    AdoQuery q(&connection);
    q.ExecBound("UPDATE 系统参数 SET 参数值=? WHERE 参数名=?",
                {std::string_view(value), std::string_view(name)});
    if (q.RowsAffected() == 0)
        q.ExecBound("INSERT INTO 系统参数(参数名,参数值) VALUES(?,?)",
                    {std::string_view(name), std::string_view(value)});
}
