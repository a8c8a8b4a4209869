#include "OptionValue.h"

namespace torsa::production {

std::optional<QString> optionValue(QStringView name, const QStringList &arguments, qsizetype &i)
{
    const QString &argument = arguments.at(i);
    if (argument == name)
        return i + 1 < arguments.size() ? arguments.at(++i) : QString();
    if (argument.startsWith(name) && argument.sliced(name.size()).startsWith(u'='))
        return argument.sliced(name.size() + 1);
    return std::nullopt;
}

} // namespace torsa::production
