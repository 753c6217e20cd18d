<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>korvanta::banner::BannerWidget</name>
    <message>
        <source>两样本与配对t检验</source>
        <translation>2-sample, paired t</translation>
    </message>
    <message>
        <source>直线相关与回归分析</source>
        <translation>Regression analysis</translation>
    </message>
    <message>
        <source>四格表与配对卡方检验</source>
        <translation>2×2 and paired χ²</translation>
    </message>
    <message>
        <source>Excel·计算器·t界值表</source>
        <translation>Excel·calculator·t table</translation>
    </message>
    <message>
        <source>欢迎使用 Korvanta！</source>
        <translation>Welcome to Korvanta!</translation>
    </message>
</context>
<context>
    <name>korvanta::banner::Links</name>
    <message>
        <source>index.html</source>
        <extracomment>File name of the help page in this language, in resources/help/</extracomment>
        <translation>index_en.html</translation>
    </message>
</context>
<context>
    <name>korvanta::calculator::CalculatorPanel</name>
    <message>
        <source>计算器</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>除数不能为零</source>
        <translation>Division by zero</translation>
    </message>
    <message>
        <source>结果超出范围</source>
        <translation>Result out of range</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::AccessibleNames</name>
    <message>
        <source>Korvanta 医学统计计算器</source>
        <translation>Korvanta medical statistics calculator</translation>
    </message>
    <message>
        <source>主窗口</source>
        <translation>Main window</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>检验方法</source>
        <translation>Tests</translation>
    </message>
    <message>
        <source>当前检验</source>
        <translation>Current test</translation>
    </message>
    <message>
        <source>计算器</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>数据表格</source>
        <translation>Data grid</translation>
    </message>
    <message>
        <source>横幅（点击访问主页）</source>
        <translation>Banner (click to visit the home page)</translation>
    </message>
    <message>
        <source>两样本均数t检验结果</source>
        <translation>Two-sample t test results</translation>
    </message>
    <message>
        <source>配对资料t检验结果</source>
        <translation>Paired t test results</translation>
    </message>
    <message>
        <source>直线相关与回归结果</source>
        <translation>Correlation and regression results</translation>
    </message>
    <message>
        <source>四格表</source>
        <translation>2×2 table</translation>
    </message>
    <message>
        <source>计数资料卡方检验结果</source>
        <translation>Chi-square test results</translation>
    </message>
    <message>
        <source>配对资料卡方检验结果</source>
        <translation>Paired chi-square test results</translation>
    </message>
    <message>
        <source>工具栏按钮</source>
        <translation>Toolbar button</translation>
    </message>
    <message>
        <source>图标</source>
        <translation>Icon</translation>
    </message>
    <message>
        <source>数据表格滚动条</source>
        <translation>Data grid scroll bar</translation>
    </message>
    <message>
        <source>t界值表</source>
        <translation>t table</translation>
    </message>
    <message>
        <source>详细结果表</source>
        <translation>Detailed results table</translation>
    </message>
    <message>
        <source>论文格式的结果句</source>
        <translation>Results sentence in journal style</translation>
    </message>
    <message>
        <source>合计</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>统计图</source>
        <translation>Plot</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::CellMenu</name>
    <message>
        <source>撤消(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>剪切(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::CorrelationPanel</name>
    <message>
        <source>例数(N)=</source>
        <translation>N=</translation>
    </message>
    <message>
        <source>回归方程：</source>
        <translation>Equation:</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::DataExchange</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>Microsoft Excel 工作簿(*.xls) (*.xls *.xlsx *.XLS *.XLSX *.Xls *.Xlsx)</source>
        <translation>Microsoft Excel workbook (*.xls) (*.xls *.xlsx *.XLS *.XLSX *.Xls *.Xlsx)</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>;;OpenDocument 电子表格(*.ods) (*.ods *.ODS);;文本文件(*.csv *.txt) (*.csv *.txt *.CSV *.TXT);;所有数据文件 (*.xls *.xlsx *.ods *.csv *.txt *.XLS *.XLSX *.ODS *.CSV *.TXT)</source>
        <translation>;;OpenDocument spreadsheet (*.ods) (*.ods *.ODS);;Text file (*.csv *.txt) (*.csv *.txt *.CSV *.TXT);;All data files (*.xls *.xlsx *.ods *.csv *.txt *.XLS *.XLSX *.ODS *.CSV *.TXT)</translation>
    </message>
    <message>
        <source>;;OpenDocument 电子表格(*.ods) (*.ods *.ODS);;文本文件(*.csv *.txt) (*.csv *.txt *.CSV *.TXT);;SPSS 数据文件(*.sav *.zsav *.por) (*.sav *.zsav *.por *.SAV *.ZSAV *.POR);;Stata 数据文件(*.dta) (*.dta *.DTA);;SAS 数据文件(*.sas7bdat *.xpt) (*.sas7bdat *.xpt *.SAS7BDAT *.XPT);;所有数据文件 (*.xls *.xlsx *.ods *.csv *.txt *.sav *.zsav *.por *.dta *.sas7bdat *.xpt *.XLS *.XLSX *.ODS *.CSV *.TXT *.SAV *.ZSAV *.POR *.DTA *.SAS7BDAT *.XPT)</source>
        <translation>;;OpenDocument spreadsheet (*.ods) (*.ods *.ODS);;Text file (*.csv *.txt) (*.csv *.txt *.CSV *.TXT);;SPSS data file (*.sav *.zsav *.por) (*.sav *.zsav *.por *.SAV *.ZSAV *.POR);;Stata data file (*.dta) (*.dta *.DTA);;SAS data file (*.sas7bdat *.xpt) (*.sas7bdat *.xpt *.SAS7BDAT *.XPT);;All data files (*.xls *.xlsx *.ods *.csv *.txt *.sav *.zsav *.por *.dta *.sas7bdat *.xpt *.XLS *.XLSX *.ODS *.CSV *.TXT *.SAV *.ZSAV *.POR *.DTA *.SAS7BDAT *.XPT)</translation>
    </message>
    <message>
        <source>Microsoft Excel 工作簿(*.xls)</source>
        <translation>Microsoft Excel workbook (*.xls)</translation>
    </message>
    <message>
        <source>Excel 2007 工作簿(*.xlsx)</source>
        <translation>Excel 2007 workbook (*.xlsx)</translation>
    </message>
    <message>
        <source>CSV 逗号分隔文本(*.csv)</source>
        <translation>CSV comma-separated text (*.csv)</translation>
    </message>
    <message>
        <source>OpenDocument 电子表格(*.ods)</source>
        <translation>OpenDocument spreadsheet (*.ods)</translation>
    </message>
    <message>
        <source>SPSS 数据文件(*.sav)</source>
        <translation>SPSS data file (*.sav)</translation>
    </message>
    <message>
        <source>Stata 数据文件(*.dta)</source>
        <translation>Stata data file (*.dta)</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>第一组</source>
        <translation>Group 1</translation>
    </message>
    <message>
        <source>第二组</source>
        <translation>Group 2</translation>
    </message>
    <message>
        <source>%1有%2个缺失值，已作为空白导入</source>
        <translation>%1 has %2 missing values, imported as empty cells</translation>
    </message>
    <message>
        <source>%1有%2个缺失值（用户定义缺失值%3），已作为空白导入</source>
        <translation>%1 has %2 missing values (user-missing values %3), imported as empty cells</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>例数</source>
        <translation>n</translation>
    </message>
    <message>
        <source>请打开Excel文件！</source>
        <translation>Please open an Excel file!</translation>
    </message>
    <message>
        <source>工作表有%1行数据，超过了本程序能容纳的%2行，未导入。</source>
        <translation>The worksheet has %1 data rows, more than the %2 this program holds; nothing was imported.</translation>
    </message>
    <message>
        <source>有%1个单元格的内容不是数值（如“%2”），在数据表中显示为空白，不参与计算。</source>
        <translation>%1 cells hold something that is not a number (such as &quot;%2&quot;); they show empty in the grid and are not used in the calculations.</translation>
    </message>
    <message>
        <source>有%1个公式单元格没有保存计算结果，已作为空白导入。请在电子表格程序中打开该文件，重新计算并保存后再导入。</source>
        <translation>%1 formula cells were saved without their results and were imported as blanks. Open the file in a spreadsheet program, recalculate and save it, then import it again.</translation>
    </message>
    <message>
        <source>已导入%1行数据，放在数据表的“第一组”“第二组”两列中。“%2”只使用四格表；切换到使用这两列的检验时选择“保留数据”即可使用它们。</source>
        <translation>%1 rows were imported into the grid’s columns “Group 1” and “Group 2”. “%2” uses only the 2×2 table; to use the rows, switch to a test on the two columns and choose “Keep data”.</translation>
    </message>
    <message>
        <source>内存不足，无法导入该文件，表中数据未改变。</source>
        <translation>Not enough memory to import this file; the data in the grid are unchanged.</translation>
    </message>
    <message>
        <source>没有可导出的数据</source>
        <translation>There are no data to export</translation>
    </message>
    <message>
        <source>文件名“%1”只有扩展名，这样保存的文件会被隐藏。请在扩展名前输入文件名。</source>
        <translation>The file name “%1” is only an extension, and a file saved so would be hidden. Please type a name before the extension.</translation>
    </message>
    <message>
        <source>文件导出成功！</source>
        <translation>The file was exported.</translation>
    </message>
    <message>
        <source>
有%1个控制字符无法保存在该格式的文件中，已删除。</source>
        <translation>
%1 control characters cannot be kept in a file of this format and were removed.</translation>
    </message>
    <message>
        <source>
有%1个空字符（NUL）无法保存在该格式的文件中，已删除。</source>
        <translation>
%1 null characters (NUL) cannot be kept in a file of this format and were removed.</translation>
    </message>
    <message>
        <source>未粘贴。</source>
        <translation> Nothing was pasted.</translation>
    </message>
    <message>
        <source>粘贴的数据有%1列，数据表只有两列，未粘贴。请只复制一列或两列数据。</source>
        <translation>The pasted data have %1 columns but the grid has only two; nothing was pasted. Copy one or two columns only.</translation>
    </message>
    <message>
        <source>粘贴的数据有两列，从第二组粘贴时第二列没有位置，未粘贴。请在第一组的单元格中粘贴两列数据，或只复制一列。</source>
        <translation>The pasted data have two columns, and pasted from Group 2 the second one has no room; nothing was pasted. Paste two columns into a cell of Group 1, or copy one column only.</translation>
    </message>
    <message>
        <source>粘贴的%1行数据从第%2行起放不下：本程序最多容纳%3行，未粘贴。</source>
        <translation>The %1 pasted rows do not fit from row %2 on: this program holds at most %3 rows; nothing was pasted.</translation>
    </message>
    <message>
        <source>内存不足，无法粘贴这么多数据，未粘贴。</source>
        <translation>Not enough memory to paste this much data; nothing was pasted.</translation>
    </message>
    <message>
        <source>四格表只能粘贴两行两列的数据（a b / c d），未粘贴。</source>
        <translation>Only two rows of two columns (a b / c d) can be pasted into the 2×2 table; nothing was pasted.</translation>
    </message>
    <message>
        <source>四格表的单元格%1最多容纳%2个字符，放不下“%3”，单元格未改变。</source>
        <translation>Cell %1 of the 2×2 table holds at most %2 characters; “%3” does not fit, and the cell was not changed.</translation>
    </message>
    <message>
        <source>有%1个数值（如“2,500”）所在的列中逗号既有千位分隔又有小数点的写法，无法确定其含义，已按原样保留为文字（不作为数值）。请核对后改写。</source>
        <translation>%1 numbers (such as “2,500”) stand in columns where commas are used both as thousands separators and as decimal points, so their meaning is unclear; they were kept as text, not numbers. Please check and rewrite them.</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::DetailsText</name>
    <message>
        <source>（%1：%2）</source>
        <translation> (%1: %2)</translation>
    </message>
    <message>
        <source>%1 = %2，ν = %3，%4</source>
        <translation>%1 = %2, ν = %3, %4</translation>
    </message>
    <message>
        <source>P（精确概率）</source>
        <translation>P (exact)</translation>
    </message>
    <message>
        <source>P（正态近似，校正）</source>
        <translation>P (normal approximation, corrected)</translation>
    </message>
    <message>
        <source>第%1列</source>
        <translation>Column %1</translation>
    </message>
    <message>
        <source>两样本均数t检验</source>
        <translation>Two-sample t test</translation>
    </message>
    <message>
        <source>均数差（%1）</source>
        <translation>Mean difference (%1)</translation>
    </message>
    <message>
        <source>t检验（合并方差）</source>
        <translation>t test (pooled variance)</translation>
    </message>
    <message>
        <source>自由度 ν</source>
        <translation>Degrees of freedom ν</translation>
    </message>
    <message>
        <source>均数差 </source>
        <translation>Mean difference </translation>
    </message>
    <message>
        <source>校正t检验（Welch）</source>
        <translation>Welch&apos;s t test (unequal variances)</translation>
    </message>
    <message>
        <source>自由度 ν′（Satterthwaite）</source>
        <translation>Degrees of freedom ν′ (Satterthwaite)</translation>
    </message>
    <message>
        <source>方差齐性检验（F检验）</source>
        <translation>Equality of variances (F test)</translation>
    </message>
    <message>
        <source>自由度 ν1，ν2</source>
        <translation>Degrees of freedom ν1, ν2</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>方差不齐，建议采用校正t检验（Welch）</source>
        <translation>Variances differ: Welch&apos;s t test is recommended</translation>
    </message>
    <message>
        <source>效应量</source>
        <translation>Effect size</translation>
    </message>
    <message>
        <source>Mann–Whitney U检验（两列原始数据）</source>
        <translation>Mann–Whitney U test (two columns of raw data)</translation>
    </message>
    <message>
        <source>U（%1）</source>
        <translation>U (%1)</translation>
    </message>
    <message>
        <source>正态性检验（Shapiro–Wilk）</source>
        <translation>Normality test (Shapiro–Wilk)</translation>
    </message>
    <message>
        <source>；均数差 </source>
        <translation>; mean difference </translation>
    </message>
    <message>
        <source>配对资料t检验</source>
        <translation>Paired t test</translation>
    </message>
    <message>
        <source>对子数 n</source>
        <translation>Pairs n</translation>
    </message>
    <message>
        <source>差值均数（%1）</source>
        <translation>Mean difference (%1)</translation>
    </message>
    <message>
        <source>第1列 − 第2列</source>
        <translation>Column 1 − Column 2</translation>
    </message>
    <message>
        <source>差值均数 </source>
        <translation>Mean difference </translation>
    </message>
    <message>
        <source>差值的正态性检验（Shapiro–Wilk）</source>
        <translation>Normality of the differences (Shapiro–Wilk)</translation>
    </message>
    <message>
        <source>差值</source>
        <translation>Differences</translation>
    </message>
    <message>
        <source>Wilcoxon符号秩检验</source>
        <translation>Wilcoxon signed-rank test</translation>
    </message>
    <message>
        <source>V（正差值秩和）</source>
        <translation>V (sum of positive ranks)</translation>
    </message>
    <message>
        <source>；差值均数 </source>
        <translation>; mean difference </translation>
    </message>
    <message>
        <source>估计值</source>
        <translation>Estimate</translation>
    </message>
    <message>
        <source>标准误</source>
        <translation>Standard error</translation>
    </message>
    <message>
        <source>直线相关与回归</source>
        <translation>Correlation &amp; regression</translation>
    </message>
    <message>
        <source>例数 n</source>
        <translation>Cases n</translation>
    </message>
    <message>
        <source>Pearson相关</source>
        <translation>Pearson correlation</translation>
    </message>
    <message>
        <source>（Fisher z）</source>
        <translation> (Fisher z)</translation>
    </message>
    <message>
        <source>决定系数 r²</source>
        <translation>Coefficient of determination r²</translation>
    </message>
    <message>
        <source>回归系数 b（Y 对 X）</source>
        <translation>Regression coefficient b (Y on X)</translation>
    </message>
    <message>
        <source>截距 a</source>
        <translation>Intercept a</translation>
    </message>
    <message>
        <source>剩余标准差 sY·X</source>
        <translation>Residual standard deviation sY·X</translation>
    </message>
    <message>
        <source>Spearman秩相关</source>
        <translation>Spearman rank correlation</translation>
    </message>
    <message>
        <source>P（t近似）</source>
        <translation>P (t approximation)</translation>
    </message>
    <message>
        <source>；回归系数 b = </source>
        <translation>; regression coefficient b = </translation>
    </message>
    <message>
        <source>无法计算（行或列合计为零）</source>
        <translation>Not computable (a row or column total is zero)</translation>
    </message>
    <message>
        <source>计数资料卡方检验</source>
        <translation>Chi-square test (2×2)</translation>
    </message>
    <message>
        <source>%1 的理论数(T)</source>
        <translation>Expected count of %1 (T)</translation>
    </message>
    <message>
        <source>χ²检验</source>
        <translation>Chi-square test</translation>
    </message>
    <message>
        <source>χ²（Pearson）</source>
        <translation>χ² (Pearson)</translation>
    </message>
    <message>
        <source>校正χ²（Yates）</source>
        <translation>Corrected χ² (Yates)</translation>
    </message>
    <message>
        <source>Fisher确切概率法</source>
        <translation>Fisher&apos;s exact test</translation>
    </message>
    <message>
        <source>双侧 mid-P</source>
        <translation>Two-sided mid-P</translation>
    </message>
    <message>
        <source>n ≥ 40且理论数均 ≥ 5：推荐 χ²检验</source>
        <translation>n ≥ 40 and every T ≥ 5: the chi-square test is recommended</translation>
    </message>
    <message>
        <source>n ≥ 40且有理论数 1 ≤ T &lt; 5：推荐校正χ²检验</source>
        <translation>n ≥ 40 and some 1 ≤ T &lt; 5: the corrected chi-square test is recommended</translation>
    </message>
    <message>
        <source>n &lt; 40或有理论数 T &lt; 1：推荐 Fisher确切概率法</source>
        <translation>n &lt; 40 or some T &lt; 1: Fisher&apos;s exact test is recommended</translation>
    </message>
    <message>
        <source>效应指标（阳性为结局）</source>
        <translation>Effect measures (positive is the outcome)</translation>
    </message>
    <message>
        <source>试验组阳性率</source>
        <translation>Positive rate, test group</translation>
    </message>
    <message>
        <source>对照组阳性率</source>
        <translation>Positive rate, control group</translation>
    </message>
    <message>
        <source>相对危险度 RR</source>
        <translation>Relative risk RR</translation>
    </message>
    <message>
        <source>率差 RD</source>
        <translation>Risk difference RD</translation>
    </message>
    <message>
        <source>需治疗人数 NNT</source>
        <translation>Number needed to treat NNT</translation>
    </message>
    <message>
        <source>%1 = %2，%3</source>
        <translation>%1 = %2, %3</translation>
    </message>
    <message>
        <source>校正χ²</source>
        <translation>Corrected χ²</translation>
    </message>
    <message>
        <source>；OR = </source>
        <translation>; OR = </translation>
    </message>
    <message>
        <source>配对资料卡方检验</source>
        <translation>Paired chi-square test</translation>
    </message>
    <message>
        <source>McNemar检验</source>
        <translation>McNemar&apos;s test</translation>
    </message>
    <message>
        <source>χ²（未校正）</source>
        <translation>χ² (uncorrected)</translation>
    </message>
    <message>
        <source>确切概率（二项分布）P</source>
        <translation>Exact P (binomial)</translation>
    </message>
    <message>
        <source>b + c &lt; 40：推荐确切概率法</source>
        <translation>b + c &lt; 40: the exact test is recommended</translation>
    </message>
    <message>
        <source>b + c ≥ 40：可用未校正χ²</source>
        <translation>b + c ≥ 40: the uncorrected χ² may be used</translation>
    </message>
    <message>
        <source>差值与一致性</source>
        <translation>Difference and agreement</translation>
    </message>
    <message>
        <source>阳性率之差（b − c）/ n</source>
        <translation>Difference of positive rates (b − c) / n</translation>
    </message>
    <message>
        <source>阳性率之差 </source>
        <translation>Difference of positive rates </translation>
    </message>
    <message>
        <source>配对 OR = b / c</source>
        <translation>Matched OR = b / c</translation>
    </message>
    <message>
        <source>配对 OR </source>
        <translation>Matched OR </translation>
    </message>
    <message>
        <source>McNemar确切概率法 </source>
        <translation>McNemar&apos;s exact test </translation>
    </message>
    <message>
        <source>McNemar χ² = %1，%2</source>
        <translation>McNemar χ² = %1, %2</translation>
    </message>
    <message>
        <source>；κ = </source>
        <translation>; κ = </translation>
    </message>
    <message>
        <source>无法计算（数据不全）</source>
        <translation>Not computable (incomplete data)</translation>
    </message>
    <message>
        <source>无法计算（例数不足）</source>
        <translation>Not computable (too few cases)</translation>
    </message>
    <message>
        <source>无法计算（数据无变异）</source>
        <translation>Not computable (no variation)</translation>
    </message>
    <message>
        <source>无法计算（有零格）</source>
        <translation>Not computable (a cell is zero)</translation>
    </message>
    <message>
        <source>无法计算（n &gt; 5000）</source>
        <translation>Not computable (n &gt; 5000)</translation>
    </message>
    <message>
        <source>无法计算（完全相关）</source>
        <translation>Not computable (perfect correlation)</translation>
    </message>
    <message>
        <source>差异无统计学意义，不计算</source>
        <translation>Not computed: the difference is not statistically significant</translation>
    </message>
    <message>
        <source>无法计算（超出计算范围）</source>
        <translation>Not computable (out of range)</translation>
    </message>
    <message>
        <source>第一组</source>
        <translation>Group 1</translation>
    </message>
    <message>
        <source>第二组</source>
        <translation>Group 2</translation>
    </message>
    <message>
        <source> 详细结果</source>
        <translation> — detailed results</translation>
    </message>
    <message>
        <source>【%1】</source>
        <translation>[%1]</translation>
    </message>
    <message>
        <source>（基于χ²，检验法）</source>
        <translation> (test-based, from χ²)</translation>
    </message>
    <message>
        <source>（基于校正χ²，检验法）</source>
        <translation> (test-based, from the corrected χ²)</translation>
    </message>
    <message>
        <source>双侧 P（概率不大于观察表者之和）</source>
        <translation>Two-sided P (tables no more probable)</translation>
    </message>
    <message>
        <source>双侧 P（中心法：单侧 P 较小者的两倍）</source>
        <translation>Two-sided P (central: twice the smaller one-sided P)</translation>
    </message>
    <message>
        <source>条件极大似然 OR</source>
        <translation>Conditional MLE OR</translation>
    </message>
    <message>
        <source>（条件精确法，配中心法 P）</source>
        <translation> (conditional exact, with the central P)</translation>
    </message>
    <message>
        <source>比值比 OR = ad / bc</source>
        <translation>Odds ratio OR = ad / bc</translation>
    </message>
    <message>
        <source>Fisher确切概率法（中心法）</source>
        <translation>Fisher&apos;s exact test (central) </translation>
    </message>
    <message>
        <source>（精确法，配确切概率 P）</source>
        <translation> (exact, with the exact P)</translation>
    </message>
    <message>
        <source>不给出（与所用检验的P不一致）</source>
        <translation>Not given (would disagree with the test&apos;s P)</translation>
    </message>
    <message>
        <source>（Katz）</source>
        <translation> (Katz)</translation>
    </message>
    <message>
        <source>（Wald）</source>
        <translation> (Wald)</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::DetailsWindow</name>
    <message>
        <source>详细结果</source>
        <translation>Detailed results</translation>
    </message>
    <message>
        <source>项目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>组名：</source>
        <translation>Group names:</translation>
    </message>
    <message>
        <source>第%1列数据的组名，用于详细结果、复制的结果、统计图和报告</source>
        <translation>Name of the group in column %1, used in the detailed results, the copies, the plots and the report</translation>
    </message>
    <message>
        <source>复制结果</source>
        <translation>Copy results</translation>
    </message>
    <message>
        <source>复制论文格式的结果句和结果表</source>
        <translation>Copy the journal-style sentence and the results table</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source> — 详细结果</source>
        <translation> — detailed results</translation>
    </message>
    <message>
        <source>%1的组名</source>
        <translation>Name of %1</translation>
    </message>
    <message>
        <source>复制三线表</source>
        <translation>Copy journal table</translation>
    </message>
    <message>
        <source>复制期刊格式的三线表：各组例数、均数 ± 标准差、统计量与P值</source>
        <translation>Copy the journal-style three-line table: n, mean ± SD, the statistic and P</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::EditSession</name>
    <message>
        <source>保留数据</source>
        <translation>Keep data</translation>
    </message>
    <message>
        <source>清空数据</source>
        <translation>Clear data</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>切换检验</source>
        <translation>Switch test</translation>
    </message>
    <message>
        <source>已有数据。保留这些数据，还是清空后重新输入？</source>
        <translation>There are data. Keep them, or clear them and start again?</translation>
    </message>
    <message>
        <source>已有数据。切换到“%1”时保留这些数据，还是清空？</source>
        <translation>There are data. Keep them when switching to “%1”, or clear them?</translation>
    </message>
    <message>
        <source>“%1”用不到已有的数据，切换时要清空数据。清空后可以按Ctrl+Z撤销。</source>
        <translation>“%1” cannot use the present data; switching clears them. Ctrl+Z undoes the clearing.</translation>
    </message>
    <message>
        <source>导出数据…</source>
        <translation>Export data…</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>数据已修改，还没有导出。退出前要导出数据吗？</source>
        <translation>The data have changed and were not exported. Export them before exiting?</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::FourFoldPanel</name>
    <message>
        <source>a 的理论数(T)=</source>
        <translation>Expected a (T)=</translation>
    </message>
    <message>
        <source>b 的理论数(T)=</source>
        <translation>Expected b (T)=</translation>
    </message>
    <message>
        <source>c 的理论数(T)=</source>
        <translation>Expected c (T)=</translation>
    </message>
    <message>
        <source>d 的理论数(T)=</source>
        <translation>Expected d (T)=</translation>
    </message>
    <message>
        <source>例数(n)=</source>
        <translation>Total (n)=</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::GridPanel</name>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>第一组</source>
        <translation>Group 1</translation>
    </message>
    <message>
        <source>第二组</source>
        <translation>Group 2</translation>
    </message>
    <message>
        <source>按回车键或“↓”键输入下一个数据</source>
        <translation>Press Enter or ↓ to type the next value</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::ImportDialog</name>
    <message>
        <source>首行为标题</source>
        <translation>First row is a heading</translation>
    </message>
    <message>
        <source>导入数据</source>
        <translation>Import data</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>工作表：</source>
        <translation>Sheet:</translation>
    </message>
    <message>
        <source>第一组：</source>
        <translation>Group 1:</translation>
    </message>
    <message>
        <source>第二组：</source>
        <translation>Group 2:</translation>
    </message>
    <message>
        <source> 第一组</source>
        <translation> group 1</translation>
    </message>
    <message>
        <source> 第二组</source>
        <translation> group 2</translation>
    </message>
    <message>
        <source>（</source>
        <translation> (</translation>
    </message>
    <message>
        <source>）</source>
        <translation>)</translation>
    </message>
    <message>
        <source>没有一列含有数值。</source>
        <translation>No column holds numbers.</translation>
    </message>
    <message>
        <source>只有%1列含有数值。</source>
        <translation>Only column %1 holds numbers.</translation>
    </message>
    <message>
        <source>A列或B列中没有数值，已改选含有数值的%1列和%2列。</source>
        <translation>Column A or B holds no numbers; columns %1 and %2, which do, are chosen instead.</translation>
    </message>
    <message>
        <source>第1行没有数值，像是标题；如不导入这一行，请勾选“首行为标题”。</source>
        <translation>Row 1 holds no numbers and looks like a heading; to leave it out, tick &quot;First row is a heading&quot;.</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::Language</name>
    <message>
        <source>zh</source>
        <extracomment>The code of the language of this translation: &quot;en&quot; in the English one.</extracomment>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::LibraryTexts</name>
    <message>
        <source>内存不足，无法读取该工作表。</source>
        <translation>Not enough memory to read this sheet.</translation>
    </message>
    <message>
        <source>结果判断：</source>
        <translation>Result:</translation>
    </message>
    <message>
        <source>当n &lt; 40或理论数(T)&lt; 1时，不适合使用本法。</source>
        <translation>Not valid when n &lt; 40 or any T &lt; 1.</translation>
    </message>
    <message>
        <source>完全正相关</source>
        <translation>Perfect positive correlation</translation>
    </message>
    <message>
        <source>完全负相关</source>
        <translation>Perfect negative correlation</translation>
    </message>
    <message>
        <source>无法打开文件，请检查文件是否存在以及是否有读取权限。</source>
        <translation>The file cannot be opened. Check that it exists and that you may read it.</translation>
    </message>
    <message>
        <source>请打开Excel文件！</source>
        <translation>Please open an Excel file!</translation>
    </message>
    <message>
        <source>不支持Excel 95及更早版本的工作簿，请在Excel中另存为新版本格式后再导入。</source>
        <translation>Workbooks of Excel 95 and earlier are not supported. Save the workbook in a newer format in Excel, then import it.</translation>
    </message>
    <message>
        <source>该工作簿设有打开密码，无法读取。请在Excel中取消密码后再导入。</source>
        <translation>This workbook is protected by a password and cannot be read. Remove the password in Excel, then import it.</translation>
    </message>
    <message>
        <source>工作簿已损坏，无法读取。</source>
        <translation>The workbook is damaged and cannot be read.</translation>
    </message>
    <message>
        <source>工作簿太大，无法读取。</source>
        <translation>The workbook is too large to be read.</translation>
    </message>
    <message>
        <source>工作簿中没有工作表。</source>
        <translation>The workbook has no worksheet.</translation>
    </message>
    <message>
        <source>工作表的行数超过了本程序能容纳的32767行数据，未导入。</source>
        <translation>The worksheet has more than the 32,767 data rows this program holds; nothing was imported.</translation>
    </message>
    <message>
        <source>工作表的列数超过了256列，未导入。</source>
        <translation>The worksheet has more than 256 columns; nothing was imported.</translation>
    </message>
    <message>
        <source>工作簿无法读取。</source>
        <translation>The workbook cannot be read.</translation>
    </message>
    <message>
        <source>数据行数超过该文件格式的上限（.xls格式最多65536行），无法导出。</source>
        <translation>There are more rows than this file format holds (.xls holds at most 65,536 rows); the data cannot be exported.</translation>
    </message>
    <message>
        <source>有单元格的文字超过32767个字符，无法导出。</source>
        <translation>A cell holds a text of more than 32,767 characters; the data cannot be exported.</translation>
    </message>
    <message>
        <source>数据太多，无法导出为.xls格式。</source>
        <translation>There are too many data to export in the .xls format.</translation>
    </message>
    <message>
        <source>数据中含有无法识别的字符，无法导出。</source>
        <translation>The data contain characters that cannot be recognised; they cannot be exported.</translation>
    </message>
    <message>
        <source>没有在目标文件夹中写入的权限，无法创建文件。文件导出失败。</source>
        <translation>You may not write in the target folder, so the file cannot be created. The export failed.</translation>
    </message>
    <message>
        <source>文件写入失败，导出未完成，原有文件未被改动。</source>
        <translation>Writing the file failed; the export did not finish and the existing file was not changed.</translation>
    </message>
    <message>
        <source>无法替换目标文件：它不是普通文件，或在导出过程中被其他程序改动。文件导出失败。</source>
        <translation>The target file cannot be replaced: it is not a regular file, or another program changed it during the export. The export failed.</translation>
    </message>
    <message>
        <source>文件名太长（最多255个字节，一个汉字占3个字节），请换一个较短的文件名。文件导出失败。</source>
        <translation>The file name is too long (at most 255 bytes; a Chinese character takes 3). Choose a shorter name. The export failed.</translation>
    </message>
    <message>
        <source>所选的名称是一个文件夹，不是文件，请输入文件名。文件导出失败。</source>
        <translation>The chosen name is a folder, not a file. Type a file name. The export failed.</translation>
    </message>
    <message>
        <source>目标文件夹不存在，请选择一个已有的文件夹。文件导出失败。</source>
        <translation>The target folder does not exist. Choose an existing folder. The export failed.</translation>
    </message>
    <message>
        <source>磁盘空间不足，文件导出失败，原有文件未被改动。</source>
        <translation>The disk is full; the export failed and the existing file was not changed.</translation>
    </message>
    <message>
        <source>目标文件（或它所在的磁盘）是只读的，不能写入，原有文件未被改动。请另选文件名或先取消只读属性。</source>
        <translation>The target file (or its disk) is read-only and cannot be written; the existing file was not changed. Choose another name or make the file writable first.</translation>
    </message>
    <message>
        <source>导出的文件读回核对时与数据不符，导出已取消，原有文件未被改动。</source>
        <translation>The exported file, read back, did not match the data; the export was cancelled and the existing file was not changed.</translation>
    </message>
    <message>
        <source>写入目标文件时出错，该文件可能已不完整，请重新导出。</source>
        <translation>Writing the target file failed; the file may be incomplete. Please export again.</translation>
    </message>
    <message>
        <source>内存不足，文件导出失败，原有文件未被改动。</source>
        <translation>Not enough memory; the export failed and the existing file was not changed.</translation>
    </message>
    <message>
        <source>文件导出失败。</source>
        <translation>The export failed.</translation>
    </message>
    <message>
        <source>第%1行第%2列的文字有%3个字符，超过了每个单元格最多%4个字符的上限，无法导出，原有文件未被改动。</source>
        <translation>The text in row %1, column %2 has %3 characters, more than the %4 a cell can hold; the data cannot be exported and the existing file was not changed.</translation>
    </message>
    <message>
        <source>数据的行数超过了本程序能容纳的32767行。</source>
        <translation>The data have more rows than the 32,767 this program holds.</translation>
    </message>
    <message>
        <source>第%1行第%2列还有数据，超过了%3列的上限。</source>
        <translation>Line %1 has data in column %2, past the limit of %3 columns.</translation>
    </message>
    <message>
        <source>数据超过了%1个单元格的上限。</source>
        <translation>The data pass the limit of %1 cells.</translation>
    </message>
    <message>
        <source>文字太多（超过%1 MB）。</source>
        <translation>Too much text (over %1 MB).</translation>
    </message>
    <message>
        <source>第%1行第%2列的文字超过了每个单元格最多%3个字符的上限。</source>
        <translation>The text in line %1, column %2 is longer than the %3 characters a cell holds.</translation>
    </message>
    <message>
        <source>第%1行的引号（&quot;）没有结束，其后的全部内容会并入一个单元格。请检查该行。</source>
        <translation>The quote (&quot;) on line %1 is never closed, so everything after it would go into one cell. Please check that line.</translation>
    </message>
    <message>
        <source>该文件是没有字节顺序标记（BOM）的UTF-16文本，无法确定其编码。请在记事本或Excel中另存为UTF-8或“Unicode文本”后再导入。</source>
        <translation>The file is UTF-16 text without a byte order mark (BOM), so its encoding cannot be told. Please save it as UTF-8 or &quot;Unicode Text&quot; in Notepad or Excel and import it again.</translation>
    </message>
    <message>
        <source>第%1行含有空字符（NUL），这不是普通的文本文件。</source>
        <translation>Line %1 holds a NUL character: this is not a plain text file.</translation>
    </message>
    <message>
        <source>文件末尾的字符不完整，文件可能没有保存完整或被截断。</source>
        <translation>The file ends inside a character: it may not have been saved whole, or was cut short.</translation>
    </message>
    <message>
        <source>第%1行含有无法识别的字符：该文件不是UTF-8、GB18030或UTF-16编码的文本。</source>
        <translation>Line %1 holds characters that cannot be read: the file is not UTF-8, GB18030 or UTF-16 text.</translation>
    </message>
    <message>
        <source>文件中没有任何数据，只有空白。</source>
        <translation>The file holds no data, only blanks.</translation>
    </message>
    <message>
        <source>未导入。</source>
        <translation> Nothing was imported.</translation>
    </message>
    <message>
        <source>文件中没有任何数值，不是数据文件。</source>
        <translation>The file holds no number: it is not a data file.</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::MainWindow</name>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>详细结果</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>精确P值、可信区间与效应量（Ctrl+D）</source>
        <translation>Exact P values, confidence intervals and effect sizes (Ctrl+D)</translation>
    </message>
    <message>
        <source>文件(F)</source>
        <translation>File(F)</translation>
    </message>
    <message>
        <source>从Excel导入数据</source>
        <translation>Import data from Excel</translation>
    </message>
    <message>
        <source>导出数据到Excel</source>
        <translation>Export data to Excel</translation>
    </message>
    <message>
        <source>t界值表</source>
        <translation>t table</translation>
    </message>
    <message>
        <source>编辑(E)</source>
        <translation>Edit(E)</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>结果(R)</source>
        <translation>Results(R)</translation>
    </message>
    <message>
        <source>详细结果…</source>
        <translation>Detailed results…</translation>
    </message>
    <message>
        <source>导出报告…</source>
        <translation>Export report…</translation>
    </message>
    <message>
        <source>打印…</source>
        <translation>Print…</translation>
    </message>
    <message>
        <source>帮助(H)</source>
        <translation>Help(H)</translation>
    </message>
    <message>
        <source>访问作者主页</source>
        <translation>Visit the author&apos;s home page</translation>
    </message>
    <message>
        <source>在线帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>界面语言将在下次启动 Korvanta 时更换。</source>
        <translation>The interface language changes the next time Korvanta starts.</translation>
    </message>
    <message>
        <source>（环境变量 KORVANTA_LANG 仍优先于此设置。）</source>
        <translation> (The environment variable KORVANTA_LANG still takes precedence over this setting.)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>数据表已满：本程序最多容纳%1行，不能再添加新行。</source>
        <translation>The grid is full: it holds at most %1 rows, so no row can be added.</translation>
    </message>
    <message>
        <source>复制三线表</source>
        <translation>Copy journal table</translation>
    </message>
    <message>
        <source>复制结果描述</source>
        <translation>Copy methods and results text</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::PairedChiSquarePanel</name>
    <message>
        <source>例数(n)=</source>
        <translation>Total (n)=</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::PairedTPanel</name>
    <message>
        <source>对子数(N)=</source>
        <translation>Pairs (N)=</translation>
    </message>
    <message>
        <source>对子差值均数(d)=</source>
        <translation>Mean (d)=</translation>
    </message>
    <message>
        <source>对子差值均数标准差(Sd)=</source>
        <translation>SD of differences (Sd)=</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::PlotChart</name>
    <message>
        <source>（共%1个数据，图中每%2个画1个）</source>
        <translation>(%1 values; one in every %2 is drawn)</translation>
    </message>
    <message>
        <source>散点图与回归直线（95%置信带与预测带）</source>
        <translation>Scatter plot and regression line (95% confidence and prediction bands)</translation>
    </message>
    <message>
        <source>X（%1）</source>
        <translation>X (%1)</translation>
    </message>
    <message>
        <source>Y（%1）</source>
        <translation>Y (%1)</translation>
    </message>
    <message>
        <source>95%置信带</source>
        <translation>95% confidence band</translation>
    </message>
    <message>
        <source>95%预测带</source>
        <translation>95% prediction band</translation>
    </message>
    <message>
        <source>回归直线</source>
        <translation>Regression line</translation>
    </message>
    <message>
        <source>观察值</source>
        <translation>Observed</translation>
    </message>
    <message>
        <source>对子差值、均数及其95%可信区间</source>
        <translation>Paired differences, their mean and its 95% confidence interval</translation>
    </message>
    <message>
        <source>各组数值、均数及其95%可信区间</source>
        <translation>Values of each group, means and their 95% confidence intervals</translation>
    </message>
    <message>
        <source>组别</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>差值（%1 − %2）</source>
        <translation>Difference (%1 − %2)</translation>
    </message>
    <message>
        <source>数值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>均数</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>95%可信区间</source>
        <translation>95% confidence interval</translation>
    </message>
    <message>
        <source>阳性率（%）</source>
        <translation>Positive rate (%)</translation>
    </message>
    <message>
        <source>阳性率
（%1）</source>
        <translation>Positive rate
(%1)</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>检验效能曲线</source>
        <translation>Power curve</translation>
    </message>
    <message>
        <source>检验效能 1 − β</source>
        <translation>Power 1 − β</translation>
    </message>
    <message>
        <source>检验效能</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>目标检验效能 %1</source>
        <translation>Target power %1</translation>
    </message>
    <message>
        <source>所需</source>
        <translation>Required</translation>
    </message>
    <message>
        <source>现有</source>
        <translation>Present</translation>
    </message>
    <message>
        <source>（暂无可绘制的数据）</source>
        <translation>(no data to plot yet)</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::PlotData</name>
    <message>
        <source>差值</source>
        <translation>Differences</translation>
    </message>
    <message>
        <source>组别</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>试验组</source>
        <translation>Test group</translation>
    </message>
    <message>
        <source>对照组</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>治疗前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>治疗后</source>
        <translation>After</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::PlotPanel</name>
    <message>
        <source>保存图形…</source>
        <translation>Save plot…</translation>
    </message>
    <message>
        <source>把图形保存为PNG图片、PDF文档或SVG矢量图</source>
        <translation>Save the plot as a PNG image, a PDF document or an SVG vector graphic</translation>
    </message>
    <message>
        <source>把图形保存为PNG图片或PDF文档</source>
        <translation>Save the plot as a PNG image or a PDF document</translation>
    </message>
    <message>
        <source>数据图</source>
        <translation>Data plot</translation>
    </message>
    <message>
        <source>检验效能曲线</source>
        <translation>Power curve</translation>
    </message>
    <message>
        <source>检验效能随样本量变化的曲线</source>
        <translation>How the power changes with the sample size</translation>
    </message>
    <message>
        <source>Korvanta 统计图</source>
        <translation>Korvanta plot</translation>
    </message>
    <message>
        <source>PNG 图片(*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>PDF 文档(*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>SVG 矢量图(*.svg)</source>
        <translation>SVG vector graphic (*.svg)</translation>
    </message>
    <message>
        <source>保存图形</source>
        <translation>Save plot</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>图形保存成功！</source>
        <translation>The plot was saved.</translation>
    </message>
    <message>
        <source>图形保存失败，请检查文件夹是否存在以及是否有写入权限。</source>
        <translation>The plot could not be saved. Check that the folder exists and that you may write in it.</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::PowerPanel</name>
    <message>
        <source>差值均数</source>
        <translation>Mean difference</translation>
    </message>
    <message>
        <source>均数差 X1 − X2</source>
        <translation>Mean difference X1 − X2</translation>
    </message>
    <message>
        <source>差值标准差</source>
        <translation>SD of differences</translation>
    </message>
    <message>
        <source>合并标准差</source>
        <translation>Pooled SD</translation>
    </message>
    <message>
        <source>例数比 n2/n1</source>
        <translation>Size ratio n2/n1</translation>
    </message>
    <message>
        <source>相关系数 r</source>
        <translation>Correlation coefficient r</translation>
    </message>
    <message>
        <source>试验组阳性率 p1</source>
        <translation>Positive rate, test group p1</translation>
    </message>
    <message>
        <source>对照组阳性率 p2</source>
        <translation>Positive rate, control p2</translation>
    </message>
    <message>
        <source>样本量与检验效能</source>
        <translation>Sample size and power</translation>
    </message>
    <message>
        <source>双侧检验水准，如 0.05</source>
        <translation>Two-sided significance level, e.g. 0.05</translation>
    </message>
    <message>
        <source>希望达到的检验效能，如 0.80 或 90%</source>
        <translation>The power wanted, e.g. 0.80 or 90%</translation>
    </message>
    <message>
        <source>效应大小：默认取自当前数据，可修改</source>
        <translation>Effect size: taken from the current data unless changed</translation>
    </message>
    <message>
        <source>用当前数据</source>
        <translation>Use current data</translation>
    </message>
    <message>
        <source>效应大小重新取自当前数据</source>
        <translation>Take the effect sizes from the current data again</translation>
    </message>
    <message>
        <source>连续性校正：</source>
        <translation>Continuity correction:</translation>
    </message>
    <message>
        <source>检验水准 α（双侧）</source>
        <translation>Significance level α (two-sided)</translation>
    </message>
    <message>
        <source>目标检验效能 1 − β</source>
        <translation>Target power 1 − β</translation>
    </message>
    <message>
        <source>所需样本量：</source>
        <translation>Required sample size:</translation>
    </message>
    <message>
        <source>现有样本的检验效能：</source>
        <translation>Power of the present sample:</translation>
    </message>
    <message>
        <source>方法：</source>
        <translation>Method: </translation>
    </message>
</context>
<context>
    <name>korvanta::ui::PowerText</name>
    <message>
        <source>每组 %1 例，共 %2 例</source>
        <translation>%1 per group, %2 in all</translation>
    </message>
    <message>
        <source>第一组 %1 例，第二组 %2 例，共 %3 例</source>
        <translation>group 1: %1, group 2: %2, %3 in all</translation>
    </message>
    <message>
        <source>%1 对</source>
        <translation>%1 pairs</translation>
    </message>
    <message>
        <source>%1 例（每例观察 X、Y）</source>
        <translation>%1 cases (X and Y observed in each)</translation>
    </message>
    <message>
        <source>%1 例</source>
        <translation>%1 cases</translation>
    </message>
    <message>
        <source>现有 </source>
        <translation>present </translation>
    </message>
    <message>
        <source>现有</source>
        <translation>present </translation>
    </message>
    <message>
        <source>，无法给出样本量</source>
        <translation>; no sample size can be given</translation>
    </message>
    <message>
        <source>检验水准 α 应大于 0 且小于 1</source>
        <translation>The significance level α must lie between 0 and 1</translation>
    </message>
    <message>
        <source>目标检验效能应大于 0 且小于 1</source>
        <translation>The target power must lie between 0 and 1</translation>
    </message>
    <message>
        <source>效应大小不全（请填写，或先输入数据）</source>
        <translation>The effect size is incomplete (fill it in, or enter the data first)</translation>
    </message>
    <message>
        <source>均数差为 0，没有要检出的差别</source>
        <translation>The mean difference is 0: there is no difference to detect</translation>
    </message>
    <message>
        <source>r = 0，没有要检出的相关</source>
        <translation>r = 0: there is no correlation to detect</translation>
    </message>
    <message>
        <source>两组率相等，没有要检出的差别</source>
        <translation>The two rates are equal: there is no difference to detect</translation>
    </message>
    <message>
        <source>b/n 与 c/n 相等，没有要检出的差别</source>
        <translation>b/n equals c/n: there is no difference to detect</translation>
    </message>
    <message>
        <source>标准差与例数比都应大于 0</source>
        <translation>The SD and the size ratio must both be above 0</translation>
    </message>
    <message>
        <source>差值的标准差应大于 0</source>
        <translation>The SD of the differences must be above 0</translation>
    </message>
    <message>
        <source>|r| 应小于 1（|r| = 1 时 Fisher z 无定义）</source>
        <translation>|r| must be below 1 (Fisher z is undefined at |r| = 1)</translation>
    </message>
    <message>
        <source>率应在 0 与 1 之间，例数比应大于 0</source>
        <translation>The rates must lie between 0 and 1 and the size ratio above 0</translation>
    </message>
    <message>
        <source>b/n、c/n 应在 0 与 1 之间且两者之和不超过 1</source>
        <translation>b/n and c/n must lie between 0 and 1 and add up to at most 1</translation>
    </message>
    <message>
        <source>两组率分别为 0 与 1，正态近似的方差为 0</source>
        <translation>The rates are 0 and 1: the variance of the normal approximation is 0</translation>
    </message>
    <message>
        <source>全部对子都不一致且方向相同，方差为 0</source>
        <translation>Every pair disagrees in the same direction: the variance is 0</translation>
    </message>
    <message>
        <source>超过 1000 万，效应太小，无法给出实际可行的样本量</source>
        <translation>Over 10 million: the effect is too small for a feasible sample size</translation>
    </message>
    <message>
        <source>非中心t分布，双侧（两侧拒绝域均计入）</source>
        <translation>Noncentral t distribution, two-sided (both rejection regions counted)</translation>
    </message>
    <message>
        <source>Fisher z 变换，双侧</source>
        <translation>Fisher z transformation, two-sided</translation>
    </message>
    <message>
        <source>正态近似（H0 合并方差，H1 分别方差），双侧；另给 Fleiss 连续性校正</source>
        <translation>Normal approximation (pooled variance under H0, separate under H1), two-sided; with the Fleiss continuity correction</translation>
    </message>
    <message>
        <source>McNemar 检验，Connor（1987）公式，双侧</source>
        <translation>McNemar&apos;s test, Connor (1987) formula, two-sided</translation>
    </message>
    <message>
        <source>无效</source>
        <translation>invalid</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>无现有数据</source>
        <translation>No present data</translation>
    </message>
    <message>
        <source>现有例数不足，无法计算</source>
        <translation>Too few present cases to compute</translation>
    </message>
    <message>
        <source>样本量与检验效能</source>
        <translation>Sample size and power</translation>
    </message>
    <message>
        <source>检验水准 α（双侧）</source>
        <translation>Significance level α (two-sided)</translation>
    </message>
    <message>
        <source>目标检验效能 1 − β</source>
        <translation>Target power 1 − β</translation>
    </message>
    <message>
        <source>所需样本量</source>
        <translation>Required sample size</translation>
    </message>
    <message>
        <source>所需样本量（连续性校正）</source>
        <translation>Required sample size (continuity correction)</translation>
    </message>
    <message>
        <source>现有样本的检验效能</source>
        <translation>Power of the present sample</translation>
    </message>
    <message>
        <source>计算方法</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>每组例数 n</source>
        <translation>Cases per group n</translation>
    </message>
    <message>
        <source>第一组例数 n1（第二组按例数比）</source>
        <translation>Cases in group 1 n1 (group 2 by the size ratio)</translation>
    </message>
    <message>
        <source>对子数 n</source>
        <translation>Pairs n</translation>
    </message>
    <message>
        <source>例数 n</source>
        <translation>Cases n</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::ReportActions</name>
    <message>
        <source>试验组</source>
        <translation>Test group</translation>
    </message>
    <message>
        <source>对照组</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>治疗后</source>
        <translation>After</translation>
    </message>
    <message>
        <source>治疗前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>组别</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>均数</source>
        <translation>Mean</translation>
    </message>
    <message>
        <source>标准差</source>
        <translation>SD</translation>
    </message>
    <message>
        <source>例数</source>
        <translation>n</translation>
    </message>
    <message>
        <source>数值个数</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>X（%1）</source>
        <translation>X (%1)</translation>
    </message>
    <message>
        <source>Y（%1）</source>
        <translation>Y (%1)</translation>
    </message>
    <message>
        <source>治疗后＼治疗前</source>
        <translation>After \ before</translation>
    </message>
    <message>
        <source>（+）</source>
        <translation>(+)</translation>
    </message>
    <message>
        <source>阳性（+）</source>
        <translation>Positive (+)</translation>
    </message>
    <message>
        <source>（-）</source>
        <translation>(−)</translation>
    </message>
    <message>
        <source>阴性（-）</source>
        <translation>Negative (−)</translation>
    </message>
    <message>
        <source>合计</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>导出报告</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>PDF 文件(*.pdf);;PDF 文件，另存网页(.html)和统计图(.png)(*.pdf)</source>
        <translation>PDF file (*.pdf);;PDF file, with a web page (.html) and the plot (.png) beside it (*.pdf)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>报告导出失败，请检查文件夹是否存在以及是否有写入权限。</source>
        <translation>The report could not be exported. Check that the folder exists and that you may write in it.</translation>
    </message>
    <message>
        <source>报告导出成功！另外写出了网页 %1 和统计图 %2。</source>
        <translation>The report was exported. The web page %1 and the plot %2 were written beside it.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>报告导出成功！</source>
        <translation>The report was exported.</translation>
    </message>
    <message>
        <source>统计分析报告 — </source>
        <translation>Statistical analysis report — </translation>
    </message>
</context>
<context>
    <name>korvanta::ui::ReportWriter</name>
    <message>
        <source>项目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>&lt;h1 align=&quot;center&quot;&gt;统计分析报告&lt;/h1&gt;
&lt;p&gt;检验方法：%1&lt;br&gt;
生成时间：%2&lt;br&gt;
程序：Korvanta V4.05&lt;/p&gt;
</source>
        <translation>&lt;h1 align=&quot;center&quot;&gt;Statistical analysis report&lt;/h1&gt;
&lt;p&gt;Test: %1&lt;br&gt;
Created: %2&lt;br&gt;
Program: Korvanta V4.05&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>&lt;h2&gt;一、输入数据&lt;/h2&gt;
</source>
        <translation>&lt;h2&gt;1. Input data&lt;/h2&gt;
</translation>
    </message>
    <message>
        <source>&lt;h2&gt;二、检验结果&lt;/h2&gt;
</source>
        <translation>&lt;h2&gt;2. Test results&lt;/h2&gt;
</translation>
    </message>
    <message>
        <source>&lt;h2&gt;三、详细结果&lt;/h2&gt;
</source>
        <translation>&lt;h2&gt;3. Detailed results&lt;/h2&gt;
</translation>
    </message>
    <message>
        <source>&lt;p&gt;（无）&lt;/p&gt;
</source>
        <translation>&lt;p&gt;(none)&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>&lt;h2&gt;四、统计图&lt;/h2&gt;
</source>
        <translation>&lt;h2&gt;4. Plots&lt;/h2&gt;
</translation>
    </message>
    <message>
        <source>&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;%1&quot; width=&quot;%2&quot; height=&quot;%3&quot; alt=&quot;统计图&quot;&gt;&lt;/p&gt;
</source>
        <translation>&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;%1&quot; width=&quot;%2&quot; height=&quot;%3&quot; alt=&quot;Plot&quot;&gt;&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;%1&quot; width=&quot;%2&quot; height=&quot;%3&quot; alt=&quot;检验效能曲线&quot;&gt;&lt;/p&gt;
</source>
        <translation>&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;%1&quot; width=&quot;%2&quot; height=&quot;%3&quot; alt=&quot;Power curve&quot;&gt;&lt;/p&gt;
</translation>
    </message>
    <message>
        <source>统计分析报告 — </source>
        <translation>Statistical analysis report — </translation>
    </message>
    <message>
        <source>第 %1 页，共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::ResultPanels</name>
    <message>
        <source>结果判断</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>对子数(N)</source>
        <translation>Pairs (N)</translation>
    </message>
    <message>
        <source>对子差值均数(d)</source>
        <translation>Mean difference (d)</translation>
    </message>
    <message>
        <source>对子差值均数标准差(Sd)</source>
        <translation>SD of differences (Sd)</translation>
    </message>
    <message>
        <source>例数(N)</source>
        <translation>Cases (N)</translation>
    </message>
    <message>
        <source>回归方程</source>
        <translation>Regression equation</translation>
    </message>
    <message>
        <source>a 的理论数(T)</source>
        <translation>Expected a (T)</translation>
    </message>
    <message>
        <source>b 的理论数(T)</source>
        <translation>Expected b (T)</translation>
    </message>
    <message>
        <source>c 的理论数(T)</source>
        <translation>Expected c (T)</translation>
    </message>
    <message>
        <source>d 的理论数(T)</source>
        <translation>Expected d (T)</translation>
    </message>
    <message>
        <source>例数(n)</source>
        <translation>Total (n)</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::TTableWindow</name>
    <message>
        <source>t界值表</source>
        <translation>t table</translation>
    </message>
    <message>
        <source>自由度</source>
        <translation>df</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::TablePanel</name>
    <message>
        <source>计数资料卡方检验</source>
        <translation>Chi-square test (2×2)</translation>
    </message>
    <message>
        <source>组  别</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>结     果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>（+）           （-）</source>
        <translation>(+)              (−)</translation>
    </message>
    <message>
        <source>试验组</source>
        <translation>Test group</translation>
    </message>
    <message>
        <source>对照组</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>合  计</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>合计</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>配对资料卡方检验</source>
        <translation>Paired chi-square test</translation>
    </message>
    <message>
        <source>治疗后</source>
        <translation>After</translation>
    </message>
    <message>
        <source>  治疗前  </source>
        <translation>  Before  </translation>
    </message>
    <message>
        <source>（+）</source>
        <translation>(+)</translation>
    </message>
    <message>
        <source>（-）</source>
        <translation>(−)</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::TestSelector</name>
    <message>
        <source>两样本均数t检验</source>
        <translation>Two-sample t test</translation>
    </message>
    <message>
        <source>配对资料t检验</source>
        <translation>Paired t test</translation>
    </message>
    <message>
        <source>直线相关与回归</source>
        <translation>Correlation/regression</translation>
    </message>
    <message>
        <source>计数资料卡方检验</source>
        <translation>Chi-square test (2×2)</translation>
    </message>
    <message>
        <source>配对资料卡方检验</source>
        <translation>Paired chi-square test</translation>
    </message>
    <message>
        <source>（按回车键或“↓”键输入下一个数据）</source>
        <translation> (Enter or ↓: next value)</translation>
    </message>
    <message>
        <source>医学统计方法在线教程</source>
        <translation>Statistics tutorial</translation>
    </message>
    <message>
        <source>打开随程序安装的医学统计方法教程（无需联网）</source>
        <translation>Open the medical statistics tutorial installed with the program (no network needed)</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::Toolbar</name>
    <message>
        <source>导入</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>korvanta::ui::TwoSamplePanel</name>
    <message>
        <source>均  数(X1)=</source>
        <translation>Mean (X1)=</translation>
    </message>
    <message>
        <source>均  数(X2)=</source>
        <translation>Mean (X2)=</translation>
    </message>
    <message>
        <source>标准差(S1)=</source>
        <translation>SD (S1)=</translation>
    </message>
    <message>
        <source>标准差(S2)=</source>
        <translation>SD (S2)=</translation>
    </message>
    <message>
        <source>例  数(N1)=</source>
        <translation>Cases (N1)=</translation>
    </message>
    <message>
        <source>例  数(N2)=</source>
        <translation>Cases (N2)=</translation>
    </message>
</context>
</TS>
