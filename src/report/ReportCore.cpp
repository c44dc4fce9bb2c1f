// The widget-free part of the reporting layer: the HTML status page (Html*.cpp).
