<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="ru">
<context>
    <name>Wording</name>
    <message numerus="yes">
        <source>лишнее %1: %n раз(а)</source>
        <translation>
            <numerusform>лишнее %1: %n раз</numerusform>
            <numerusform>лишнее %1: %n раза</numerusform>
            <numerusform>лишнее %1: %n раз</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 пропущено: %n раз(а)</source>
        <translation>
            <numerusform>%1 пропущено: %n раз</numerusform>
            <numerusform>%1 пропущено: %n раза</numerusform>
            <numerusform>%1 пропущено: %n раз</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 принято верно: %n раз(а)</source>
        <translation>
            <numerusform>%1 принято верно: %n раз</numerusform>
            <numerusform>%1 принято верно: %n раза</numerusform>
            <numerusform>%1 принято верно: %n раз</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 принято как %2: %n раз(а)</source>
        <translation>
            <numerusform>%1 принято как %2: %n раз</numerusform>
            <numerusform>%1 принято как %2: %n раза</numerusform>
            <numerusform>%1 принято как %2: %n раз</numerusform>
        </translation>
    </message>
</context>
</TS>
