<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>SectionReport</name>
    <message>
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>截面名称</translation>
    </message>
    <message>
        <source>Concrete</source>
        <translation>混凝土</translation>
    </message>
    <message>
        <source>Fibers</source>
        <translation>纤维</translation>
    </message>
    <message>
        <source>bars / cells</source>
        <translation>钢筋 / 单元</translation>
    </message>
    <message>
        <source>Column sections of %1</source>
        <translation>%1 的柱截面</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>Column section report</source>
        <translation>柱截面报告</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>数据表</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>截面数</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>材料</translation>
    </message>
    <message>
        <source>name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>E (N/mm²)</source>
        <translation>E (N/mm²)</translation>
    </message>
    <message>
        <source>sections</source>
        <translation>截面数</translation>
    </message>
    <message>
        <source>Every figure is the value written to the component file (float32), rounded for reading. As: total bar area; ρ = As / (B·H);</source>
        <translation>每个数值都是写入构件文件的值（float32），为便于阅读而取整。As：钢筋总面积；ρ = As / (B·H)；</translation>
    </message>
    <message>
        <source>G: shear modulus; Av,1, Av,2: shear areas; J: torsion constant. x is the section&apos;s axis 3, y its axis 2.</source>
        <translation>G：剪切模量；Av,1、Av,2：抗剪面积；J：抗扭常数。x 为截面的 3 轴，y 为 2 轴。</translation>
    </message>
    <message>
        <source>fibers %1: %2 bars, %3 cells</source>
        <translation>纤维 %1: 钢筋 %2, 单元 %3</translation>
    </message>
    <message>
        <source>scale 1:%1</source>
        <translation>比例 1:%1</translation>
    </message>
</context>
</TS>
