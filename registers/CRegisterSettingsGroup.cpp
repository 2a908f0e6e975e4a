#include "CRegisterSettingsGroup.h"

#include "CDBException.h"
#include "ephedrine.h"

#include <QDateTime>

CRegisterSettingsGroup::CRegisterSettingsGroup(CDatabase* db, const QString& operatorName,
                                               QWidget* parent)
    : CBooksRuleGroup({QStringLiteral("含麻黄碱类复方制剂"),
                       QStringLiteral("同一身份证号 %1 天内再次购买时拒绝销售（不勾选则只提醒）")
                           .arg(ephedrine::kRepeatDays),
                       QStringLiteral("含麻黄碱类复方制剂的设置"), IdRepeatRefused,
                       IdApplyRegisters,
                       [db] {
                           if (!db)
                               throw CDBException(QStringLiteral("没有连接数据库"));
                           return ephedrine::RepeatRefused(*db);
                       },
                       [db, operatorName](bool refused) {
                           if (!db)
                               throw CDBException(QStringLiteral("没有连接数据库"));
                           ephedrine::SetRepeatRefused(*db, refused, operatorName,
                                                       QDateTime::currentDateTime());
                       }},
                      parent) {}
