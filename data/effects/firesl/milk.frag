#version 420 compatibility
// Milk: pale drops poured along the top edge where the spark picture is
// bright, running down and spreading sideways, fading very slowly to a
// bluish white haze. The picture on unit 1 adds milk by image_factor and
// shows through by image_shinethrough.
uniform sampler2D texPrevious;
uniform sampler2D texImage;
uniform sampler2D texSpark;
uniform float time;
uniform float image_factor;
uniform float image_shinethrough;
uniform float spark_pct;

in vec2 uv;

void main()
{
    vec2 px = 1.0 / vec2(textureSize(texPrevious, 0));
    vec2 above = uv + vec2(sin(uv.x * 31.0 + time * 0.5) * px.x, px.y);
    float milk = (texture(texPrevious, above - vec2(px.x, 0.0)).r + texture(texPrevious, above + vec2(px.x, 0.0)).r
                  + texture(texPrevious, above).r * 2.0) * 0.25;
    milk = max(milk * 0.997 - 0.003, 0.0);

    float top = step(1.0 - 3.0 * px.y, uv.y);
    float drop = texture(texSpark, vec2(uv.x + time * 0.05, fract(time * 0.13))).r;
    milk = max(milk, top * (spark_pct > 0.0 ? step(1.0 - spark_pct, drop) : 0.0));

    vec3 image = texture(texImage, uv).rgb;
    milk = max(milk, dot(image, vec3(0.3, 0.59, 0.11)) * image_factor);
    vec3 colour = milk * vec3(0.93, 0.96, 1.0);
    gl_FragColor = vec4(clamp(mix(colour, image, image_shinethrough), 0.0, 1.0), 1.0);
}
