#include "CTraceSettingsGroup.h"

#include "CDBException.h"
#include "trace_settings.h"

#include <QDateTime>

CTraceSettingsGroup::CTraceSettingsGroup(CDatabase* db, const QString& operatorName,
                                         QWidget* parent)
    : CBooksRuleGroup({QStringLiteral("追溯码"),
                       QStringLiteral("销售须扫追溯码（整盒销售每盒扫一个）"),
                       QStringLiteral("追溯码设置"), IdCodesRequired, IdApplyTrace,
                       [db] {
                           if (!db)
                               throw CDBException(QStringLiteral("没有连接数据库"));
                           return tracesettings::CodesRequired(*db);
                       },
                       [db, operatorName](bool required) {
                           if (!db)
                               throw CDBException(QStringLiteral("没有连接数据库"));
                           tracesettings::SetCodesRequired(*db, required, operatorName,
                                                           QDateTime::currentDateTime());
                       }},
                      parent) {}
