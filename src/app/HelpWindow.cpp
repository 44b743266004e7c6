#include "app/HelpWindow.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/CommandTable.h"
#include "editor/ui/ViewKeys.h"
#include "ui/Resources.h"

namespace velmorin {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    InitAppResources();
    setWindowTitle(QStringLiteral("Temas de ayuda"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/help.svg")));
    setModal(false);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpText"));
    browser_->setOpenLinks(false);
    browser_->setHtml(HelpHtml());

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Cerrar"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resize(560, 520);
}

namespace {

// One row per command that has keys, straight from the command table, so the
// guide lists the keys that really act; then the keys of the diagram view.
QString KeyRows() {
    QString rows;
    for (const CommandDef& command : CommandTable) {
        if (!command.keys || !*command.keys) continue;
        QStringList keys = QString::fromLatin1(command.keys).split(QStringLiteral("; "), Qt::SkipEmptyParts);
        for (QString& key : keys) {
            key.replace(QStringLiteral("Shift+"), QString::fromUtf8("Mayús+"));
            key.replace(QStringLiteral("+Del"), QStringLiteral("+Supr"));
            key.replace(QStringLiteral("Backspace"), QStringLiteral("Retroceso"));
        }
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>\n")
                    .arg(keys.join(QStringLiteral(", ")), PromptStatusText(command.prompt).toHtmlEscaped());
    }
    for (const ViewKeyDef& key : ViewKeyTable) {
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>\n")
                    .arg(QString::fromUtf8(key.keys), QString::fromUtf8(key.text).toHtmlEscaped());
    }
    return rows;
}

}  // namespace

QString HelpWindow::HelpHtml() {
    return QString::fromUtf8(R"(
<h2>Velmorin: Editor Ladder - Compilador - Monitor</h2>
<p>Velmorin dibuja programas en diagrama Ladder para el controlador Velmorin VADRI
modelo RV17, los compila a código del controlador (256 bytes como máximo), los envía
por el puerto serie y permite observar el programa mientras funciona.</p>

<h3>Del diagrama al controlador</h3>
<ol>
<li><b>Dibujar.</b> Elija una herramienta en el menú <i>Elementos</i>, en la barra de
herramientas o en la paleta (clic derecho sobre el diagrama) y haga clic en las celdas.
Las líneas se trazan media celda a la vez: la mitad de la celda en que hace clic decide
el lado que se conecta. Un segundo clic derecho sobre la misma celda alterna entre
HORIZ, VERT y Eliminar. Elegir dos veces la misma herramienta la deja sin efecto.</li>
<li><b>Dar los operandos.</b> Al colocar un elemento se abre el diálogo de parámetros:
elija la instrucción y sus operandos (entradas, salidas, variables, temporizadores,
contadores o etiquetas). Un clic sobre un elemento existente vuelve a abrirlo.</li>
<li><b>Guardar.</b> <i>Archivo, Guardar</i> escribe el diagrama en un archivo
<tt>*.ldr</tt>.</li>
<li><b>Compilar.</b> <i>Herramientas, Compilar</i> traduce los 24 bloques y escribe el
listado <tt>*.prg</tt> y la imagen <tt>*.bld</tt>. Si hay errores o advertencias se
abre el <i>Listado de errores</i>; un clic en una línea marca el elemento en el diagrama.
<i>OK</i> quita la marca; cerrar la ventana la deja. Mientras dibuja, el extremo derecho de
la barra de estado muestra lo que el programa ocuparía en el controlador (bytes de código,
temporizadores, contadores) y los errores y advertencias que daría compilarlo ahora; un clic
allí abre el listado de esos diagnósticos.</li>
<li><b>Enviar.</b> Sin errores se abre el diálogo de envío: el botón <i>Enviar</i>
transmite el programa por el puerto elegido en <i>Herramientas, Puerto Serie</i>.</li>
<li><b>Ejecutar.</b> Tras un envío correcto se abren los <i>Comandos al PLC</i>
(también en <i>Herramientas</i>): <i>Proceder</i> bajo <i>Ejecutar Programa</i> pone el
programa en marcha y <i>Proceder</i> bajo <i>Detener Programa</i> lo detiene (con
<i>Apaga Salidas</i> marcado, además apaga las salidas).</li>
<li><b>Observar.</b> <i>Monitor</i> muestra y fuerza variables: <i>Recibir PLC</i> lee
las del mapa elegido y <i>Enviar PLC</i> escribe las marcadas. Su botón <i>Gráfico</i>
muestra el diagrama en vivo, aún sin colores: <i>Recibir</i> empieza a leer el controlador
y colorea contactos y bobinas según su estado, <i>Detener</i> deja de leer y <i>Salir</i>
vuelve al Monitor.</li>
</ol>

<h3>Sin controlador: el controlador simulado</h3>
<p><tt>make run</tt> abre el editor con un controlador simulado en el puerto Com2. Acepta
el programa, la marcha y la parada como uno real, pero no ejecuta el programa: sus entradas
y salidas cambian sólo cuando se le ordena (por ejemplo <tt>on E1</tt> u <tt>off S1</tt>
en su archivo de órdenes), así que una salida no se enciende sola al activar su
entrada.</p>

<h3>Comandos</h3>
<table border="0" cellspacing="2" cellpadding="2">
<tr><td><b>Archivo</b></td><td>Nuevo, Abrir (un diagrama <tt>*.ldr</tt>, o un programa
compilado <tt>*.bld</tt>, que se abre reconstruido como diagrama nuevo, sin nombre), Guardar,
Guardar como, Imprimir,
Presentación preliminar, Configurar impresora, Exportar PDF... (las páginas impresas en un
archivo PDF; cada página lleva el archivo, la fecha, sus bloques y su número), Exportar
documentación... (un PDF con portada, diagrama, tabla de operandos con todos sus usos,
observaciones y diagnósticos de compilar, sin escribir listado ni imagen), Exportar alias...
e Importar alias... (los alias de las memorias como tabla CSV para una hoja de cálculo, con
la cabecera memoria;alias; una importación con una fila mala no cambia nada y se deshace
con Deshacer), los cuatro archivos recientes, Salir.</td></tr>
<tr><td><b>Elementos</b></td><td>VERT y HORIZ (líneas), LD y LDN (contactos), OUT (bobina),
IF (saltos y condiciones), CAJA1 (END, GOTO, RJP), CAJA2 (temporizadores, SET, RST y
otras), CNTV (contador de dos filas); Buscar... (una memoria como S3, un alias, una etiqueta
o una instrucción), Buscar siguiente y Buscar anterior (al dar la vuelta lo dice la barra de
estado); Insertar bloque, Eliminar bloque, Subir bloque y Bajar bloque en el bloque del
cursor (los saltos siguen apuntando al mismo escalón); Deshacer y Rehacer. El botón
<i>Eliminar</i> de la barra borra elementos y líneas.</td></tr>
<tr><td><b>Herramientas</b></td><td>Compilar, Enviar, Extraer programa del controlador
(después, <i>Abrir como diagrama</i> lo muestra como diagrama nuevo, sin nombre),
Monitor, Comandos al PLC, Puerto Serie.</td></tr>
<tr><td><b>Ver</b></td><td>Barra de herramientas, Barra de estado, Listado de errores,
Referencias cruzadas (cada memoria con sus usos y cada etiqueta con sus saltos; un clic
muestra la celda), Acercar, Alejar y Tamaño normal. El resumen de la barra de estado cuenta
también las observaciones del programa (bobinas duplicadas, SET sin RST...); un clic las
muestra bajo sus errores.</td></tr>
<tr><td><b>Ayuda</b></td><td>Temas de ayuda y Acerca de velmorin.</td></tr>
</table>

<h3>Teclas</h3>
<table border="0" cellspacing="2" cellpadding="2">
%1</table>
)")
        .arg(KeyRows());
}

}  // namespace velmorin
