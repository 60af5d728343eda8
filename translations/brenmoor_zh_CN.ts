<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CapacityReport</name>
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
        <source>Error x</source>
        <translation>误差 x</translation>
    </message>
    <message>
        <source>Error y</source>
        <translation>误差 y</translation>
    </message>
    <message>
        <source>Advice</source>
        <translation>建议</translation>
    </message>
    <message>
        <source>Bending</source>
        <translation>弯曲</translation>
    </message>
    <message>
        <source>Fiber M0</source>
        <translation>纤维 M0</translation>
    </message>
    <message>
        <source>Fiber error</source>
        <translation>纤维误差</translation>
    </message>
    <message>
        <source>raise FX and FY</source>
        <translation>增大 FX 和 FY</translation>
    </message>
    <message>
        <source>raise FY</source>
        <translation>增大 FY</translation>
    </message>
    <message>
        <source>raise FX</source>
        <translation>增大 FX</translation>
    </message>
    <message>
        <source>Section capacity report</source>
        <translation>截面承载力报告</translation>
    </message>
    <message>
        <source>design strengths</source>
        <translation>设计强度</translation>
    </message>
    <message>
        <source>characteristic strengths</source>
        <translation>标准强度</translation>
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
        <source>Steel</source>
        <translation>钢筋</translation>
    </message>
    <message>
        <source>%1, %2: fy = %3, fy′ = %4 N/mm²</source>
        <translation>%1，%2：fy = %3，fy′ = %4 N/mm²</translation>
    </message>
    <message>
        <source>Axial load</source>
        <translation>轴力</translation>
    </message>
    <message>
        <source>about x</source>
        <translation>绕 x 轴</translation>
    </message>
    <message>
        <source>about y</source>
        <translation>绕 y 轴</translation>
    </message>
    <message>
        <source>Fiber error above %1 %: %2 of this section.</source>
        <translation>纤维误差超过 %1 %：本截面请%2。</translation>
    </message>
    <message>
        <source>Section capacity of %1</source>
        <translation>%1 的截面承载力</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第 %1 页，共 %2 页</translation>
    </message>
    <message>
        <source>N–M, bending about x</source>
        <translation>N–M 曲线，绕 x 轴</translation>
    </message>
    <message>
        <source>N–M, bending about y</source>
        <translation>N–M 曲线，绕 y 轴</translation>
    </message>
    <message>
        <source>Mx (kN·m)</source>
        <translation>Mx (kN·m)</translation>
    </message>
    <message>
        <source>My (kN·m)</source>
        <translation>My (kN·m)</translation>
    </message>
    <message>
        <source>N (kN)</source>
        <translation>N (kN)</translation>
    </message>
    <message>
        <source>φ (1/m)</source>
        <translation>φ (1/m)</translation>
    </message>
    <message>
        <source>M (kN·m)</source>
        <translation>M (kN·m)</translation>
    </message>
    <message>
        <source>exact</source>
        <translation>精确</translation>
    </message>
    <message>
        <source>fiber</source>
        <translation>纤维</translation>
    </message>
    <message>
        <source>yield</source>
        <translation>屈服</translation>
    </message>
    <message>
        <source>end</source>
        <translation>极限</translation>
    </message>
    <message>
        <source>The section cannot carry N = %1 kN</source>
        <translation>截面承受不了 N = %1 kN</translation>
    </message>
    <message>
        <source>Error xy</source>
        <translation>误差 xy</translation>
    </message>
    <message>
        <source>%1, %2: fy = %3, fy′ = %4 N/mm², %5 N/mm² in N0</source>
        <translation>%1，%2：fy = %3，fy′ = %4 N/mm²，N0 中取 %5 N/mm²</translation>
    </message>
    <message>
        <source>Materials</source>
        <translation>材料</translation>
    </message>
    <message>
        <source>the laws of GB 50010-2010, steel strengths by its 2015 edition (Table 4.2.3-1)</source>
        <translation>本构按 GB 50010-2010，钢筋强度按其 2015 年版（表 4.2.3-1）</translation>
    </message>
    <message>
        <source>r = N / (fc·B·H) = %1, fc the design strength, for the moment–curvature curves and biaxial bending</source>
        <translation>轴压比 r = N / (fc·B·H) = %1（fc 取设计值），用于弯矩–曲率曲线和双向弯曲</translation>
    </message>
    <message>
        <source>Exact: the gross rectangle B × H integrated in closed form, with the bars; fiber: the cells and bars of the component file, each at the strain of its centroid. Compression is positive; x is the section&apos;s axis 3, y its axis 2.</source>
        <translation>精确模型：毛截面 B × H 按解析式积分，另加钢筋；纤维模型：组件文件中的混凝土单元与钢筋，各取其形心处的应变。受压为正；x 为截面轴 3，y 为轴 2。</translation>
    </message>
    <message>
        <source>N0: uniform ε0; Nt: uniform −0.01; Nb, Mb: top at εcu, tension-most bar yielding; M0: N = 0. The moment–curvature curves follow the design laws (no tension in the concrete, the parabola&apos;s tangent 2fc/ε0 at the origin instead of Ec): they show strength, not stiffness.</source>
        <translation>N0：全截面 ε0；Nt：全截面 −0.01；Nb、Mb：受压边缘 εcu，最外受拉钢筋屈服；M0：N = 0。弯矩–曲率曲线采用设计本构（不计混凝土抗拉，原点切线模量为抛物线的 2fc/ε0 而非 Ec）：反映强度，不反映刚度。</translation>
    </message>
    <message>
        <source>Error x, y: the largest difference of the fiber model&apos;s M from the exact one at 19 loads between Nt and N0, over the largest exact M. Error xy: the largest distance of the fiber model&apos;s (Mx, My) from the exact one in 72 directions of biaxial bending at the axial load, over the largest exact |M|; “–” where the section cannot carry that load.</source>
        <translation>误差 x、y：在 Nt 与 N0 之间 19 个轴力下，纤维模型与精确模型弯矩之差的最大值，除以精确模型的最大弯矩。误差 xy：在该轴压比的轴力下，72 个方向双向弯曲时纤维模型 (Mx, My) 与精确模型之距离的最大值，除以精确模型的最大 |M|；截面承受不了该轴力时为“–”。</translation>
    </message>
    <message>
        <source>Above %1 % (in red) the fibers stand poorly for the section: raise FY for bending about x, FX about y, both where only the biaxial error is high. The window&apos;s “Save the table with the suggested grids” and brenmoor refine find the best grid within the file&apos;s 60 fibers.</source>
        <translation>超过 %1 %（红色）时纤维不能很好地代表截面：绕 x 轴弯曲请增大 FY，绕 y 轴请增大 FX，仅双向误差偏大时两者都增大。窗口的“按建议网格另存表格”和 brenmoor refine 可在文件的 60 根纤维之内找出最佳网格。</translation>
    </message>
    <message>
        <source>B × H = %1 × %2 mm, CC = %3 mm, C%4, As = %5 mm² (ρ = %6 %) in %7 bars, %8 concrete cells; %9 %10</source>
        <translation>B × H = %1 × %2 mm，CC = %3 mm，C%4，As = %5 mm²（ρ = %6 %，钢筋 %7 根），混凝土单元 %8 个；%9 %10</translation>
    </message>
    <message>
        <source>Materials, %1</source>
        <translation>材料，%1</translation>
    </message>
    <message>
        <source>Biaxial bending at N = %1 kN (r = %2)</source>
        <translation>双向弯曲，N = %1 kN（r = %2）</translation>
    </message>
    <message>
        <source>The section cannot carry N = %1 kN: it has no contour and no biaxial error.</source>
        <translation>截面承受不了 N = %1 kN：没有 Mx–My 曲线，也没有双向误差。</translation>
    </message>
    <message>
        <source>Least |M|, exact</source>
        <translation>精确模型最小 |M|</translation>
    </message>
    <message>
        <source>Largest |M|, exact</source>
        <translation>精确模型最大 |M|</translation>
    </message>
    <message>
        <source>Each point of the contour is the (My, Mx) of the ultimate state at N whose compression grows in the direction θ, measured from x towards y.</source>
        <translation>曲线上每一点为轴力 N 下、受压沿方向 θ 增大的极限状态的 (My, Mx)；θ 从 x 轴量向 y 轴。</translation>
    </message>
    <message>
        <source>Design-law M–φ about x at N = %1 kN</source>
        <translation>弯矩–曲率（设计本构），绕 x 轴，N = %1 kN</translation>
    </message>
    <message>
        <source>Design-law M–φ about y at N = %1 kN</source>
        <translation>弯矩–曲率（设计本构），绕 y 轴，N = %1 kN</translation>
    </message>
    <message>
        <source>Mx–My at N = %1 kN</source>
        <translation>Mx–My 曲线，N = %1 kN</translation>
    </message>
    <message>
        <source>ρ: all longitudinal bars over B·H, marked * in red where it lies outside what GB 50010 allows for a column: at least 0.60 % for HRB335, 0.55 % for HRB400, 0.50 % for HRB500 (0.10 % more from C60, Table 8.5.1), at most 5 %.</source>
        <translation>ρ：全部纵向钢筋面积除以 B·H；超出 GB 50010 对柱的规定时以红色 * 标出：HRB335 不小于 0.60 %，HRB400 不小于 0.55 %，HRB500 不小于 0.50 %（C60 及以上增加 0.10 %，表 8.5.1），且不大于 5 %。</translation>
    </message>
    <message>
        <source>ρ = %1 % lies outside the %2 %–5 % that GB 50010 allows for the longitudinal bars of a column.</source>
        <translation>ρ = %1 % 超出 GB 50010 对柱全部纵向钢筋规定的 %2 %–5 %。</translation>
    </message>
    <message>
        <source>Cross-section resistances by the design laws of GB 50010 §6.2.1, without the stability factor 0.9φ, the additional eccentricity, second-order effects or γRE; N0 of the gross section B × H.</source>
        <translation>截面承载力按 GB 50010 第 6.2.1 条的设计本构计算，未计稳定系数 0.9φ、附加偏心距、二阶效应和承载力抗震调整系数 γRE；N0 按毛截面 B × H 计。</translation>
    </message>
    <message>
        <source>These are the resistances of the cross-sections alone, with the assumptions of GB 50010-2010 §6.2.1 (plane sections, no tension in the concrete, the stress–strain laws of the concrete and the bars). Not included: the stability factor 0.9φ of axial compression, the additional eccentricity, second-order effects and the seismic adjustment factor γRE. Apply them where the design needs them. N0 is that of the gross section B × H: the bars&apos; area is not taken out of the concrete.</source>
        <translation>以下仅为截面本身的承载力，采用 GB 50010-2010 第 6.2.1 条的基本假定（平截面、不计混凝土抗拉、混凝土与钢筋的应力–应变关系）。未计入：轴心受压的稳定系数 0.9φ、附加偏心距、二阶效应和承载力抗震调整系数 γRE。设计需要时请另行考虑。N0 按毛截面 B × H 计算：混凝土面积未扣除钢筋面积。</translation>
    </message>
    <message>
        <source>Axis</source>
        <translation>轴</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>模型</translation>
    </message>
    <message>
        <source>Ends by</source>
        <translation>终止于</translation>
    </message>
    <message>
        <source>Behaviour of the cross-section by the analysis laws of GB 50010 Appendix C under monotonic bending at constant N; not modelled: bar buckling, shear, bond slip and cyclic loading.</source>
        <translation>截面在恒定 N 下单调受弯的性能，按 GB 50010 附录 C 的分析本构计算；未考虑：钢筋屈曲、剪切、粘结滑移和往复加载。</translation>
    </message>
    <message>
        <source>Analysis moment–curvature (the second page of each section): the laws of GB 50010 Appendix C at %1 (concrete C.2.4 in compression and C.2.3 in tension, Ec of Table 4.1.5; bars and hoops without a yield plateau, fy,r to fst,r at Agt), the core inside the stirrups confined after Mander, Priestley and Park (1988), the two directions&apos; confining pressures averaged and the held bars taken as evenly spaced. Not modelled: bar buckling, shear, bond slip, cyclic loading.</source>
        <translation>分析弯矩–曲率（每个截面的第二页）：按 GB 50010 附录 C 的本构，取%1（混凝土受压按 C.2.4、受拉按 C.2.3，Ec 取表 4.1.5；纵筋和箍筋无屈服台阶，由 fy,r 直线升至 Agt 处的 fst,r），箍筋内的核心混凝土按 Mander、Priestley 和 Park (1988) 计约束，两个方向的约束应力取平均，被箍住的钢筋按均匀分布计。未考虑：钢筋屈曲、剪切、粘结滑移、往复加载。</translation>
    </message>
    <message>
        <source>%1  %2: analysis moment–curvature</source>
        <translation>%1  %2：分析弯矩–曲率</translation>
    </message>
    <message>
        <source>The section has no concrete fibers: its fiber model is the bars alone.</source>
        <translation>本截面没有混凝土纤维：其纤维模型只有钢筋。</translation>
    </message>
    <message>
        <source>EI0: M/φ at φy′/1000. φy′, My′: first yield, the tension-most bar at fy,r/Es or the edge at εc,r. Mn: the edge at 0.004 or a bar at −0.015 in tension, or Mu where the curve ends first. Bilinear: φy = φy′·Mn/My′ and EIeff = Mn/φy where Mn &gt; My′, else φy = φy′. φu, Mu: the end, by the concrete (the edge at εcu, the confined core&apos;s edge at εcu,c), a bar (at Agt in tension), the drop (M down to 0.8 of the largest M so far) or the axial load (no strain state carries N further on). μφ = φu/φy. Fiber error: |fiber − exact| / |exact| · 100.</source>
        <translation>EI0：φ = φy′/1000 时的 M/φ。φy′、My′：初始屈服，即受拉最外侧钢筋达到 fy,r/Es 或截面边缘达到 εc,r。Mn：边缘达到 0.004 或钢筋拉应变达到 0.015 时的弯矩，曲线先终止时取 Mu。双线性：Mn &gt; My′ 时 φy = φy′·Mn/My′、EIeff = Mn/φy，否则 φy = φy′。φu、Mu：曲线终点，由混凝土（边缘达到 εcu，约束核心边缘达到 εcu,c）、钢筋（拉应变达到 Agt）、下降（M 降至此前最大值的 0.8）或轴力（再无应变状态能承受 N）决定。μφ = φu/φy。纤维误差：|纤维 − 精确| / |精确| · 100。</translation>
    </message>
    <message>
        <source>N = %1 kN (r = %2), %3; B × H = %4 × %5 mm, CC = %6 mm, %7 concrete cells and %8 bars</source>
        <translation>N = %1 kN（r = %2），%3；B × H = %4 × %5 mm，CC = %6 mm，%7 个混凝土单元，%8 根钢筋</translation>
    </message>
    <message>
        <source>C%1: fc,r = %2, ft,r = %3, Ec = %4 N/mm² (Table 4.1.5), εc,r = %5, εcu = %6, αc = %7, εt,r = %8</source>
        <translation>C%1：fc,r = %2，ft,r = %3，Ec = %4 N/mm²（表 4.1.5），εc,r = %5，εcu = %6，αc = %7，εt,r = %8</translation>
    </message>
    <message>
        <source>The component file&apos;s material table gives C%1 E = %2 N/mm²; these laws take Ec = %3 N/mm² of Table 4.1.5.</source>
        <translation>构件文件的材料表中 C%1 的 E = %2 N/mm²；本构取表 4.1.5 的 Ec = %3 N/mm²。</translation>
    </message>
    <message>
        <source>Bars %1: fy,r = %2, fst,r = %3 N/mm², Agt = %4, Es = %5 N/mm², no yield plateau</source>
        <translation>纵筋 %1：fy,r = %2，fst,r = %3 N/mm²，Agt = %4，Es = %5 N/mm²，无屈服台阶</translation>
    </message>
    <message>
        <source>Stirrups Φ%1@%2, %3 legs along x and %4 along y, %5: core %6 × %7 mm, ke = %8, fl′ = %9 N/mm²</source>
        <translation>箍筋 Φ%1@%2，沿 x 向 %3 肢、沿 y 向 %4 肢，%5：核心 %6 × %7 mm，ke = %8，fl′ = %9 N/mm²</translation>
    </message>
    <message>
        <source>Confined core: fcc = %1 N/mm², εcc = %2, r = %3, εcu,c = %4</source>
        <translation>约束核心：fcc = %1 N/mm²，εcc = %2，r = %3，εcu,c = %4</translation>
    </message>
    <message>
        <source>No stirrups in the table for this section: no confined model.</source>
        <translation>表格中本截面没有箍筋：无约束模型。</translation>
    </message>
    <message>
        <source>fiber error, %</source>
        <translation>纤维误差，%</translation>
    </message>
    <message>
        <source>confined</source>
        <translation>约束</translation>
    </message>
    <message>
        <source>The model cannot carry N = %1 kN.</source>
        <translation>该模型承受不了 N = %1 kN。</translation>
    </message>
    <message>
        <source>%1: no yield figures: N alone takes the edge past εc,r, or the curve ends before the first yield.</source>
        <translation>%1：无屈服数值：仅轴力 N 已使边缘超过 εc,r，或曲线在初始屈服前终止。</translation>
    </message>
    <message>
        <source>%1: no yield figures: N alone takes the bars past fy,r/Es, or the curve ends before the first yield.</source>
        <translation>%1：无屈服数值：仅轴力 N 已使钢筋超过 fy,r/Es，或曲线在初始屈服前终止。</translation>
    </message>
    <message>
        <source>concrete</source>
        <translation>混凝土</translation>
    </message>
    <message>
        <source>bar</source>
        <translation>钢筋</translation>
    </message>
    <message>
        <source>drop</source>
        <translation>下降</translation>
    </message>
    <message>
        <source>axial</source>
        <translation>轴力</translation>
    </message>
    <message>
        <source>The component file&apos;s material table keeps its moduli; the analysis takes Ec of Table 4.1.5 where they differ (E / Ec, N/mm²): %1.</source>
        <translation>构件文件的材料表保留其弹性模量；两者不同时，分析取表 4.1.5 的 Ec（E / Ec，N/mm²）：%1。</translation>
    </message>
    <message>
        <source>Analysis M–φ about x at N = %1 kN</source>
        <translation>分析本构 M–φ，绕 x 轴，N = %1 kN</translation>
    </message>
    <message>
        <source>Analysis M–φ about y at N = %1 kN</source>
        <translation>分析本构 M–φ，绕 y 轴，N = %1 kN</translation>
    </message>
    <message>
        <source>bilinear</source>
        <translation>双线性</translation>
    </message>
    <message>
        <source>Mn</source>
        <translation>Mn</translation>
    </message>
</context>
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
    <message>
        <source>! check the CONC and STEEL columns</source>
        <translation>! 请检查 CONC 与 STEEL 列</translation>
    </message>
</context>
</TS>
